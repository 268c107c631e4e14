#pragma once

#include "word_table.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// Where a word lies in a block: half the size of a string_view, for a batch holds tens of
// thousands of them.
//
// It is made where it lies, by emplace_back, as are the other small records the engine makes by
// the million: one made aside and copied in is stored a field at a time and read back whole, and
// the processor cannot hand a read on from several stores without waiting for them to land.
struct WordSpan {
    WordSpan(std::uint32_t offset, std::uint32_t length) : offset(offset), length(length) {}
    std::uint32_t offset;
    std::uint32_t length;
};

// The words cut from one block of the target. Most words lie in the block; converted forms and
// the words of sentences stripped of tags do not and are copied.
struct WordBatch {
    const char* text = nullptr; // the block, owned by the sentence reader
    std::vector<WordSpan> words;
    std::vector<std::string> copiedWords;

    void clearWords() {
        words.clear();
        copiedWords.clear();
    }
};

// Counts batches of words into a table on a thread of its own, so that cutting one block into
// words overlaps with counting the words of the one before. One batch is counted at a time: a
// batch handed over must stay untouched until finish() returns. Without a thread of its own
// (`onOwnThread` false, or none could be started) it counts each batch as it is handed over.
class CountingThread {
  public:
    CountingThread(WordTable& counts, bool onOwnThread);
    ~CountingThread();
    CountingThread(const CountingThread&) = delete;
    CountingThread& operator=(const CountingThread&) = delete;

    // Waits until the batch handed over before is counted, then hands this one over.
    void count(const WordBatch& batch);
    // Waits until the batch handed over is counted. False once counting has failed: the table is
    // then incomplete.
    bool finish();

  private:
    void countBatches();
    void countNow(const WordBatch& batch);
    void countWordsOf(const WordBatch& batch);

    WordTable& counts;
    std::mutex mutex;
    std::condition_variable changed;
    const WordBatch* handedOver = nullptr; // the batch to count, until it is counted
    bool stopping = false;
    bool failed = false;
    std::thread thread; // not joinable when it could not start: batches are then counted inline
};
