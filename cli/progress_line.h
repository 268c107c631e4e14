#pragma once

#include "keyword_engine.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

// While it lives, and once a run has gone on for more than a second, shows on stderr one line with
// the files done, the megabytes read and the rate, redrawn in place; the line is cleared at the
// end. Only where stderr is a terminal, so scripts never see it.
class ProgressLine {
  public:
    ProgressLine(const RunProgress& progress, std::int64_t files, bool shown);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

  private:
    void showUntilStopped();
    void draw(std::chrono::steady_clock::duration elapsed);

    const RunProgress& progress;
    const std::int64_t files;
    std::mutex mutex;
    std::condition_variable stopped;
    bool stopping = false;
    std::size_t drawnLength = 0; // of the line on screen, 0 when none is
    std::thread thread;
};
