#pragma once

#include "char_classes.h"
#include "counting_thread.h"
#include "keyword_engine.h"
#include "sentence_reader.h"
#include "word_table.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// Cuts the sentences of one target into words and counts them in a table: the sentence reader's
// sink in a keyword run. Each word that is long enough for its class is counted, and its
// converted forms where a conversion is on.
class WordCutter {
  public:
    WordCutter(const KeywordRunOptions& options, WordTable& counts);
    WordCutter(const WordCutter&) = delete;
    WordCutter& operator=(const WordCutter&) = delete;

    // Reads the target and counts its words. `onSecondThread`: each block's words are counted on a
    // thread of their own while the next block is read and cut (see CountingThread), for a run
    // that reads one file at a time. Throws when there is no memory to count.
    RunResult cut(SentenceReader& reader, std::FILE* target, bool onSecondThread,
                  RunFailure& failure);

    // What the sentence reader hands over.
    void startBlock(const char* blockText);
    void sentence(std::string_view text, bool inBlock, std::int64_t lines);
    void endBlock();

  private:
    // Segmentation (segmentation.cpp), inline in the loop of sentence(), which calls them for
    // every word.
    inline void finishWord(CharClass charClass, std::string_view word);
    inline void registerWord(std::string_view word, bool inBlock);
    inline int minBytesFor(CharClass charClass) const;

    const KeywordRunOptions& options;
    const ByteClassTable& byteClassTable;
    WordTable& counts;
    CountingThread* counter = nullptr; // while the target is read
    WordBatch batches[2];              // the words of each of the reader's two blocks
    WordBatch* filling = nullptr;      // the one being cut into words
    bool sentenceInBlock = false;      // whether the sentence lies in the block or was copied
    std::string convertedText;         // scratch for conversions
};
