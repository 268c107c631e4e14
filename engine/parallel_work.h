#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

// Calls work(i, thread) for every i below `count` on up to `threads` threads, the caller's among
// them (thread 0); each thread takes the next i in order, and `thread` tells which one runs it, for
// work that keeps state of its own per thread. Where no more threads can be started, fewer do the
// work. The first exception thrown is passed on once all threads have ended; after it no new i is
// taken.
template <class Work> void forEachInParallel(std::size_t count, int threads, Work work) {
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::exception_ptr firstFailure;
    std::mutex failureMutex;
    auto takeWork = [&](std::size_t thread) {
        try {
            for (std::size_t i; !failed && (i = next++) < count;) work(i, thread);
        } catch (...) {
            std::lock_guard<std::mutex> lock(failureMutex);
            if (!firstFailure) firstFailure = std::current_exception();
            failed = true;
        }
    };
    std::vector<std::thread> helpers;
    std::size_t wanted = std::min(count, static_cast<std::size_t>(std::max(threads, 1)));
    for (std::size_t started = 1; started < wanted; ++started) {
        try {
            helpers.emplace_back(takeWork, started);
        } catch (const std::system_error&) {
            break;
        }
    }
    takeWork(0);
    for (std::thread& helper : helpers) helper.join();
    if (firstFailure) std::rethrow_exception(firstFailure);
}

// A lock taken in the order it was asked for, waited for by yielding rather than sleeping: the
// jobs of a run hold one for a part of a shard's words at a time, shorter than it takes to wake a
// thread that slept, and taking it in turn keeps a job that holds it from taking it again before
// one that waits.
class TurnLock {
  public:
    bool try_lock() {
        std::uint32_t free = serving.load(std::memory_order_acquire);
        return next.compare_exchange_strong(free, free + 1, std::memory_order_acquire);
    }
    void lock() {
        const std::uint32_t turn = next.fetch_add(1, std::memory_order_relaxed);
        while (serving.load(std::memory_order_acquire) != turn) std::this_thread::yield();
    }
    void unlock() { serving.fetch_add(1, std::memory_order_release); }

  private:
    std::atomic<std::uint32_t> next{0};    // the turn the next to ask gets
    std::atomic<std::uint32_t> serving{0}; // the turn that holds the lock, or may take it
};
