#pragma once

#include "keyword_engine.h"

#include <cerrno>

// Ends a run with `result`, naming in `report` the file and the cause. A failure that left no
// errno behind is one that the run's catch-all guards turned into a result, and what they catch
// is running out of memory; an overlong sentence has no errno.
inline RunResult reported(RunResult result, const char* path, int error, RunFailure& report) {
    if (result == RunResult::Done) return result;
    report.path = path;
    report.error = error != 0 || result == RunResult::SentenceTooLong ? error : ENOMEM;
    return result;
}
