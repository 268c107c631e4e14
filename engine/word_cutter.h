#pragma once

#include "block_words.h"
#include "char_classes.h"
#include "keyword_engine.h"
#include "segmentation.h"
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
    WordCutter(const KeywordRunOptions& options, WordTable& counts, WordBatch* batches);
    WordCutter(const WordCutter&) = delete;
    WordCutter& operator=(const WordCutter&) = delete;

    // Reads the target and counts its words, see BlockWords::read.
    RunResult cut(SentenceReader& reader, std::FILE* target, bool onSecondThread,
                  RunFailure& failure) {
        return words.read(reader, target, options.encoding, onSecondThread, *this, failure);
    }

    // What the sentence reader hands over.
    void startBlock(const char* blockText) { words.startBlock(blockText); }
    void sentence(std::string_view text, bool inBlock, std::int64_t lines);
    void endBlock() { words.endBlock(); }

  private:
    // Inline in the loop of sentence() (segmentation.cpp), which calls it for every word.
    inline void finishWord(CharClass charClass, std::string_view word);

    const KeywordRunOptions& options;
    const MinimumWordBytes minimums;
    const ByteClassTable& byteClassTable;
    BlockWords words;
    bool sentenceInBlock = false; // whether the sentence lies in the block or was copied
    std::string convertedText;    // scratch for conversions
};
