#pragma once

#include "keyword_engine.h"
#include "open_file.h"
#include "output_file.h"

#include <cerrno>
#include <cstdio>
#include <string_view>

// Ends a run with `result`, naming in `report` the file and the cause. A failure that left no
// errno behind is one that a catch-all guard turned into a result, and what they catch is running
// out of memory; an overlong sentence has no errno.
inline RunResult reported(RunResult result, const char* path, int error, RunFailure& report) {
    if (result == RunResult::Done) return result;
    report.path = path;
    report.error = error != 0 || result == RunResult::SentenceTooLong ? error : ENOMEM;
    return result;
}

// The frame of one target: opens it, has `body(target)` read it, and closes it. Any failure of the
// body leaves the target unread.
template <class Body> RunResult readTarget(const char* path, RunFailure& report, Body body) {
    std::FILE* target = openFile(path, "rb");
    if (!target) return reported(RunResult::TargetUnreadable, path, errno, report);
    RunResult result = RunResult::TargetUnreadable;
    try {
        result = body(target);
    } catch (...) {
        // No memory for the run's buffers or its counts.
    }
    std::fclose(target);
    return reported(result, path, report.error, report);
}

// The frame of a run: opens the output file and writes `header` to it, has `body(output)` do the
// run, and closes the output. The output is opened before any target, so a missing target still
// leaves it behind, holding the header. The run is done only when the body and every write to the
// output succeeded; a body that fails reports its own cause.
template <class Body>
RunResult writeOutput(const char* outputPath, TextEncoding outputEncoding, std::string_view header,
                      RunFailure& report, Body body) {
    OutputFile output;
    if (!output.open(outputPath, outputEncoding))
        return reported(RunResult::OutputError, outputPath, output.error(), report);
    output.write(header);
    RunResult result = RunResult::TargetUnreadable;
    try {
        result = body(output);
    } catch (...) {
        result = reported(RunResult::TargetUnreadable, outputPath, 0, report);
    }
    bool written = output.close();
    if (result != RunResult::Done) return result;
    if (!written) return reported(RunResult::OutputError, outputPath, output.error(), report);
    return RunResult::Done;
}
