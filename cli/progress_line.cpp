#include "progress_line.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto quietStart = std::chrono::seconds(1);
constexpr auto redrawEvery = std::chrono::milliseconds(200);

} // namespace

ProgressLine::ProgressLine(const RunProgress& progress, std::int64_t files, bool shown)
    : progress(progress), files(files) {
    if (!shown) return;
    try {
        thread = std::thread(&ProgressLine::showUntilStopped, this);
    } catch (const std::system_error&) {
        // No thread to spare: the run goes on without the line.
    }
}

ProgressLine::~ProgressLine() {
    if (!thread.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    stopped.notify_all();
    thread.join();
    if (drawnLength > 0) std::fprintf(stderr, "\r%*s\r", static_cast<int>(drawnLength), "");
}

void ProgressLine::showUntilStopped() {
    const Clock::time_point start = Clock::now();
    std::unique_lock<std::mutex> lock(mutex);
    if (stopped.wait_until(lock, start + quietStart, [this] { return stopping; })) return;
    do draw(Clock::now() - start);
    while (!stopped.wait_for(lock, redrawEvery, [this] { return stopping; }));
}

void ProgressLine::draw(Clock::duration elapsed) {
    const double megabytes = static_cast<double>(progress.bytesRead) / 1e6;
    const double seconds = std::chrono::duration<double>(elapsed).count();
    char text[128];
    int length = std::snprintf(text, sizeof text, "%lld of %lld files, %.1f MB, %.1f MB/s",
                               static_cast<long long>(progress.filesDone),
                               static_cast<long long>(files), megabytes, megabytes / seconds);
    std::string line = "\r" + std::string(text, static_cast<std::size_t>(length));
    if (static_cast<std::size_t>(length) < drawnLength)
        line += std::string(drawnLength - length, ' ');
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    drawnLength = std::max(drawnLength, static_cast<std::size_t>(length));
}
