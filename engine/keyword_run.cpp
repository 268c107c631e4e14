#include "keyword_engine.h"
#include "parallel_work.h"
#include "ranking.h"
#include "run_frame.h"
#include "word_cutter.h"
#include "word_tally.h"

#include <mutex>
#include <utility>

namespace {

// Cuts one target into words, counts them and applies the lists: the tally of that file alone.
// `alone`: no other file is read meanwhile, so the file may take a second thread.
RunResult countTarget(const char* path, const KeywordRunOptions& options, const WordTally& tally,
                      bool alone, WordTable& counts, RunFailure& report) {
    return readTarget(path, report, [&](std::FILE* target) {
        RunResult result = WordCutter(options, counts).cut(target, alone, report);
        if (result == RunResult::Done) tally.apply(counts, alone);
        return result;
    });
}

// Counts are additive, so the tally of several files is the sum of theirs, whatever the order in
// which they are added; the first one is taken whole.
void addCounts(WordTable& fileCounts, WordTable& total) {
    if (total.size() == 0) {
        total = std::move(fileCounts);
        return;
    }
    fileCounts.updateCounts(0, 1, [&](std::string_view word, std::int64_t count) {
        if (count > 0) total.add(word, count);
        return count;
    });
}

// Each file is counted into a table of its own, which is added to the total as soon as the file
// is done, so memory holds the total and one file's table per job. A file that fails adds nothing.
void countTargets(const std::vector<TargetFile>& targets, KeywordRunOptions& options,
                  std::vector<FileOutcome>& outcomes, WordTable& total) {
    WordTally tally(options.userWords, options.excludedWords, options.sentenceLimit);
    const int jobs = targets.size() == 1 ? 1 : options.jobs;
    std::mutex totalMutex;
    forEachInParallel(targets.size(), jobs, [&](size_t i) {
        WordTable counts;
        FileOutcome& outcome = outcomes[i];
        outcome.result = countTarget(targets[i].path.c_str(), options, tally, jobs <= 1, counts,
                                     outcome.failure);
        if (outcome.result == RunResult::Done) {
            std::lock_guard<std::mutex> lock(totalMutex);
            addCounts(counts, total);
        }
        if (options.progress) ++options.progress->filesDone;
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
        countTargets(targets, options, outcomes, total);
        try {
            writeRanking(std::move(total), options, log, rows);
        } catch (...) {
            return reported(RunResult::RankingFailed, logPath, 0, report);
        }
        return RunResult::Done;
    });
}

// One target: its failure is the run's.
RunResult run(const char* targetPath, const char* logPath, KeywordRunOptions options,
              std::vector<RankingRow>& rows, RunFailure* failure) {
    std::vector<FileOutcome> outcomes;
    RunFailure unreported;
    RunFailure& report = failure ? *failure : unreported;
    RunResult result =
        run({{targetPath, ""}}, logPath, std::move(options), rows, outcomes, &report);
    if (!outcomes.empty() && outcomes[0].result != RunResult::Done) {
        report = outcomes[0].failure;
        result = outcomes[0].result;
    }
    if (result == RunResult::TargetUnreadable || result == RunResult::SentenceTooLong ||
        result == RunResult::RankingFailed)
        report.path = targetPath;
    return result;
}
