#include "counting_thread.h"

#include <algorithm>

CountingThread::CountingThread(WordTable& counts, bool onOwnThread) : counts(counts) {
    if (!onOwnThread) return;
    try {
        thread = std::thread(&CountingThread::countBatches, this);
    } catch (const std::system_error&) {
        // No thread to spare: count() counts on the caller's thread instead.
    }
}

CountingThread::~CountingThread() {
    if (!thread.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    thread.join();
}

void CountingThread::count(const WordBatch& batch) {
    if (!thread.joinable()) {
        countNow(batch);
        return;
    }
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return handedOver == nullptr; });
    handedOver = &batch;
    lock.unlock();
    changed.notify_all();
}

bool CountingThread::finish() {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return handedOver == nullptr; });
    return !failed;
}

void CountingThread::countBatches() {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        changed.wait(lock, [this] { return handedOver != nullptr || stopping; });
        if (handedOver == nullptr) return;
        lock.unlock();
        countNow(*handedOver);
        lock.lock();
        handedOver = nullptr;
        changed.notify_all();
    }
}

// The words are looked up a group at a time, see WordTable::addOneToEach. In a large file a word
// is met some six times on average, so room for a fifth of a block's words is made at once rather
// than step by step as the table grows.
void CountingThread::countWordsOf(const WordBatch& batch) {
    counts.makeRoomFor(batch.words.size() / 5);
    std::string_view group[WordTable::lookupGroupSize];
    for (size_t first = 0; first < batch.words.size(); first += WordTable::lookupGroupSize) {
        size_t size = std::min(WordTable::lookupGroupSize, batch.words.size() - first);
        for (size_t i = 0; i < size; ++i) {
            const WordSpan& span = batch.words[first + i];
            group[i] = {batch.text + span.offset, span.length};
        }
        counts.addOneToEach(group, size);
    }
}

// A failure leaves the table incomplete; later batches are not counted.
void CountingThread::countNow(const WordBatch& batch) {
    if (failed) return;
    try {
        countWordsOf(batch);
        for (const std::string& word : batch.copiedWords) counts.add(word, 1);
    } catch (...) {
        failed = true;
    }
}
