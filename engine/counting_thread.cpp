#include "counting_thread.h"

CountingThread::CountingThread(WordTable& counts) : counts(counts) {
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

// A failure leaves the table incomplete; later batches are not counted.
void CountingThread::countNow(const WordBatch& batch) {
    if (failed) return;
    try {
        counts.addOneToEach(batch.words);
        for (const std::string& word : batch.copiedWords) counts.add(word, 1);
    } catch (...) {
        failed = true;
    }
}
