#pragma once

#include "keyword_engine.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// Where the reader hands its sentences: a keyword run or a search run, through plain function
// pointers made by sinkFor, so that the scan stays in one place without a call it cannot see
// through for every byte.
struct SentenceSink {
    void* run;
    // A new block is read into `blockText`; its sentences lie there until endBlock.
    void (*startBlock)(void* run, const char* blockText);
    // One sentence, stripped of tags; `inBlock` when it lies in the block rather than in a copy.
    // `lines` counts the line breaks before its end, and the one that ends it. It may throw: the
    // run then stops.
    void (*sentence)(void* run, std::string_view text, bool inBlock, std::int64_t lines);
    // The block's sentences are all handed over; the other block's buffer is reused once this
    // returns, and this block's stays untouched until the next endBlock. False stops the run.
    bool (*endBlock)(void* run);
};

template <class Run> SentenceSink sinkFor(Run& run) {
    return {&run, [](void* r, const char* text) { static_cast<Run*>(r)->startBlock(text); },
            [](void* r, std::string_view text, bool inBlock, std::int64_t lines) {
                static_cast<Run*>(r)->sentence(text, inBlock, lines);
            },
            [](void* r) { return static_cast<Run*>(r)->endBlock(); }};
}

// Reads a target in blocks, as Shift-JIS (see TargetText), into two buffers in turn, drops its zero
// bytes, cuts it into sentences, counts its lines and strips tags. A buffer holds the unfinished
// sentence of the block before followed by the new bytes, so every sentence is contiguous in it.
class SentenceReader {
  public:
    // On a failure to read, sets failure.error; on an overlong sentence, failure.line.
    RunResult read(std::FILE* target, TextEncoding encoding, const SentenceSink& sink,
                   RunFailure& failure);

  private:
    RunResult scanSentences(char* data, size_t end, bool lastBlock, size_t& unfinishedStart,
                            const SentenceSink& sink);
    RunResult endSentence(std::string_view sentence, bool hasTag, const SentenceSink& sink);
    std::string_view stripTags(std::string_view sentence);

    std::vector<char> buffers[2];
    unsigned char byteBeforeBlock = 0; // the byte of the file just before the block's first
    std::int64_t lineCount = 0;
    std::string strippedText;
};
