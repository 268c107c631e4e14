#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
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
