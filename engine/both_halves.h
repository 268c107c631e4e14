#pragma once

#include <exception>
#include <system_error>
#include <thread>

// Calls work(0) and work(1) at once, work(1) on a thread of its own, or one after the other when
// no thread can be started. An exception from either is passed on once both have ended.
template <class Work> void doBothHalves(Work work) {
    std::exception_ptr secondFailure;
    auto second = [&] {
        try {
            work(1);
        } catch (...) {
            secondFailure = std::current_exception();
        }
    };
    std::thread secondThread;
    try {
        secondThread = std::thread(second);
    } catch (const std::system_error&) {
        second();
    }
    std::exception_ptr firstFailure;
    try {
        work(0);
    } catch (...) {
        firstFailure = std::current_exception();
    }
    if (secondThread.joinable()) secondThread.join();
    if (firstFailure) std::rethrow_exception(firstFailure);
    if (secondFailure) std::rethrow_exception(secondFailure);
}
