#include "keyword_engine.h"
#include "parallel_work.h"
#include "ranking.h"
#include "run_frame.h"
#include "word_cutter.h"
#include "word_tally.h"

#include <mutex>
#include <utility>

namespace {

// What a thread keeps from one file to the next, so that a folder of small files does not take
// and give back the memory of every file.
struct FileCounting {
    SentenceReader reader;
    WordTable counts; // of the file being counted
};

// Cuts one target into words, counts them and applies the lists: the tally of that file alone.
// `alone`: no other file is read meanwhile, so the file may take a second thread.
RunResult countTarget(const char* path, const KeywordRunOptions& options, const WordTally& tally,
                      bool alone, FileCounting& counting, RunFailure& report) {
    return readTarget(path, report, [&](std::FILE* target) {
        RunResult result =
            WordCutter(options, counting.counts).cut(counting.reader, target, alone, report);
        if (result == RunResult::Done) tally.apply(counting.counts, alone);
        return result;
    });
}

// Counts are additive, so the tally of several files is the sum of theirs, whatever the order in
// which they are added. The table of a run over one file is its total.
void addCounts(WordTable& fileCounts, WordTable& total, bool severalFiles) {
    if (severalFiles)
        total.addAll(fileCounts);
    else
        std::swap(total, fileCounts);
}

// Each file is counted into a table of its thread, which is added to the total as soon as the
// file is done, so memory holds the total and one file's table per job. A file that fails adds
// nothing.
void countTargets(const std::vector<TargetFile>& targets, KeywordRunOptions& options,
                  std::vector<FileOutcome>& outcomes, WordTable& total) {
    WordTally tally(options.userWords, options.excludedWords, options.sentenceLimit);
    const int jobs = targets.size() == 1 ? 1 : options.jobs;
    std::vector<FileCounting> perThread;
    for (int thread = 0; thread < jobs; ++thread)
        perThread.push_back({SentenceReader(options.sentenceLimit, options.progress), {}});
    std::mutex totalMutex;
    forEachInParallel(targets.size(), jobs, [&](size_t i, size_t thread) {
        FileCounting& counting = perThread[thread];
        FileOutcome& outcome = outcomes[i];
        outcome.result = countTarget(targets[i].path.c_str(), options, tally, jobs <= 1, counting,
                                     outcome.failure);
        if (outcome.result == RunResult::Done) {
            std::lock_guard<std::mutex> lock(totalMutex);
            addCounts(counting.counts, total, targets.size() > 1);
        }
        counting.counts.clear();
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
