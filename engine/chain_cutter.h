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
#include <vector>

// Cuts the sentences of one target into words as the keyword run does, and counts every chain of
// 2 to maxWords chain words that follow one another (see CompoundRunOptions): the sentence
// reader's sink in a compound run.
class ChainCutter {
  public:
    ChainCutter(const CompoundRunOptions& options, const WordTable& excludedWords,
                WordTable& counts, WordBatch* batches);
    ChainCutter(const ChainCutter&) = delete;
    ChainCutter& operator=(const ChainCutter&) = delete;

    // Reads the target and counts its chains, see BlockWords::read.
    RunResult cut(SentenceReader& reader, std::FILE* target, bool onSecondThread,
                  RunFailure& failure) {
        return chains.read(reader, target, options.encoding, onSecondThread, *this, failure);
    }

    // What the sentence reader hands over.
    void startBlock(const char* blockText) { chains.startBlock(blockText); }
    void sentence(std::string_view text, bool inBlock, std::int64_t lines);
    void endBlock() { chains.endBlock(); }

  private:
    // A word of the current chain.
    struct Link {
        std::string_view word; // in the sentence
        bool isConverted = false;
        std::string convertedWord; // when isConverted
    };

    void addWord(CharClass charClass, std::string_view word);
    bool breaksChain(CharClass charClass, std::string_view word) const;
    const Link& linkBack(size_t wordsBack) const;
    void countChainsEndingWith(const Link& last);

    const KeywordRunOptions& options;
    const MinimumWordBytes minimums;
    const size_t maxWords;
    const ByteClassTable& byteClassTable;
    const WordTable& excludedWords;
    BlockWords chains;
    bool sentenceInBlock = false;
    std::vector<Link> links; // the last maxWords words of the chain, in a ring
    size_t chainLength = 0;  // words in the chain so far
    std::string convertedChain;
};
