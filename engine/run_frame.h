#pragma once

#include "keyword_engine.h"
#include "open_file.h"
#include "output_file.h"

#include <cerrno>
#include <cstdio>
#include <string_view>

// Ends a run with `result`, naming in `report` the file and the cause. A failure that left no
// errno behind is one that the run's catch-all guards turned into a result, and what they catch
// is running out of memory; an overlong sentence has no errno.
inline RunResult reported(RunResult result, const char* path, int error, RunFailure& report) {
    if (result == RunResult::Done) return result;
    report.path = path;
    report.error = error != 0 || result == RunResult::SentenceTooLong ? error : ENOMEM;
    return result;
}

// The frame of both runs: opens the output file and writes `header` to it, opens the target, has
// `body(target, output, report)` do the run, and closes both. The output is opened first, so a
// missing target still leaves it behind, holding the header. The run is done only when the body
// and every write to the output succeeded.
template <class Body>
RunResult runOnFiles(const char* targetPath, const char* outputPath, TextEncoding outputEncoding,
                     std::string_view header, RunFailure* failure, Body body) {
    RunFailure unreported;
    RunFailure& report = failure ? *failure : unreported;
    OutputFile output;
    if (!output.open(outputPath, outputEncoding))
        return reported(RunResult::OutputError, outputPath, output.error(), report);
    output.write(header);
    std::FILE* target = openFile(targetPath, "rb");
    if (!target) return reported(RunResult::TargetUnreadable, targetPath, errno, report);
    RunResult result = RunResult::TargetUnreadable;
    try {
        result = body(target, output, report);
    } catch (...) {
        // No memory for the run's buffers or lists.
    }
    std::fclose(target);
    bool written = output.close();
    if (result != RunResult::Done) return reported(result, targetPath, report.error, report);
    if (!written) return reported(RunResult::OutputError, outputPath, output.error(), report);
    return RunResult::Done;
}
