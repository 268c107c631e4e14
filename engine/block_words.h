#pragma once

#include "counting_thread.h"
#include "keyword_engine.h"
#include "sentence_reader.h"
#include "word_table.h"

#include <cstdint>
#include <cstdio>
#include <new>
#include <string_view>

// The words that a sink of the sentence reader cuts from a target, gathered per block and counted
// in a table: what the keyword run's word cutter and the compound run's chain cutter share.
class BlockWords {
  public:
    // `batches`: two, whose memory a thread keeps from one file to the next.
    BlockWords(WordTable& counts, WordBatch* batches) : counts(counts), batches(batches) {}
    BlockWords(const BlockWords&) = delete;
    BlockWords& operator=(const BlockWords&) = delete;

    // Has the reader read the target into `sink`, which hands its words to add() and passes the
    // reader's startBlock and endBlock on. `onSecondThread`: each block's words are counted on a
    // thread of their own while the next block is read and cut (see CountingThread), for a run
    // that reads one file at a time. Throws when there is no memory to count.
    template <class Sink>
    RunResult read(SentenceReader& reader, std::FILE* target, TextEncoding encoding,
                   bool onSecondThread, Sink& sink, RunFailure& failure);

    void startBlock(const char* blockText);
    void endBlock();

    // The word is counted with the rest of its block; one that does not lie in the block is
    // copied.
    void add(std::string_view word, bool inBlock) {
        if (inBlock)
            filling->words.emplace_back(static_cast<std::uint32_t>(word.data() - filling->text),
                                        static_cast<std::uint32_t>(word.size()));
        else
            filling->copiedWords.emplace_back(word);
    }

  private:
    WordTable& counts;
    CountingThread* counter = nullptr; // while the target is read
    WordBatch* batches;                // the words of each of the reader's two blocks
    WordBatch* filling = nullptr;      // the one being cut into words
};

// The reader outlives the counting thread, which may still be counting words of its last block.
template <class Sink>
RunResult BlockWords::read(SentenceReader& reader, std::FILE* target, TextEncoding encoding,
                           bool onSecondThread, Sink& sink, RunFailure& failure) {
    CountingThread countingThread(counts, onSecondThread);
    counter = &countingThread;
    RunResult result = reader.read(target, encoding, sink, failure);
    bool counted = countingThread.finish();
    counter = nullptr;
    if (!counted) throw std::bad_alloc();
    return result;
}
