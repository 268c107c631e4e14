#include "file_counting.h"
#include "keyword_engine.h"
#include "ranking.h"
#include "run_frame.h"
#include "word_cutter.h"
#include "word_tally.h"

#include <utility>

namespace {

// Cuts one target into words, counts them and applies the lists: the tally of that file alone.
RunResult countTarget(const char* path, const KeywordRunOptions& options, const WordTally& tally,
                      bool alone, FileCounting& counting, RunFailure& report) {
    return readTarget(path, report, [&](std::FILE* target) {
        RunResult result =
            WordCutter(options, counting.counts).cut(counting.reader, target, alone, report);
        if (result == RunResult::Done) tally.apply(counting.counts, alone);
        return result;
    });
}

} // namespace

RunResult run(const std::vector<TargetFile>& targets, const char* logPath,
              KeywordRunOptions options, std::vector<RankingRow>& rows,
              std::vector<FileOutcome>& outcomes, RunFailure* failure) {
    rows.clear();
    outcomes.assign(targets.size(), FileOutcome{});
    RunFailure unreported;
    RunFailure& report = failure ? *failure : unreported;
    return writeOutput(logPath, options.outputEncoding, "", report, [&](OutputFile& log) {
        WordTable total;
        WordTally tally(options.userWords, options.excludedWords, options.sentenceLimit);
        countTargets(
            targets, options, outcomes, total,
            [&](const char* path, bool alone, FileCounting& counting, RunFailure& fileFailure) {
                return countTarget(path, options, tally, alone, counting, fileFailure);
            });
        try {
            writeRanking(std::move(total), options, log, rows);
        } catch (...) {
            return reported(RunResult::RankingFailed, logPath, 0, report);
        }
        return RunResult::Done;
    });
}

RunResult run(const char* targetPath, const char* logPath, KeywordRunOptions options,
              std::vector<RankingRow>& rows, RunFailure* failure) {
    return runOneTarget(targetPath, failure,
                        [&](const std::vector<TargetFile>& targets,
                            std::vector<FileOutcome>& outcomes, RunFailure& report) {
                            return run(targets, logPath, std::move(options), rows, outcomes,
                                       &report);
                        });
}
