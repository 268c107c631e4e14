#pragma once

#include "counting_thread.h"
#include "keyword_engine.h"
#include "parallel_work.h"
#include "run_frame.h"
#include "sentence_reader.h"
#include "word_table.h"

#include <mutex>
#include <utility>
#include <vector>

// How a run over several files counts them: each file into a table of its own, added to the total
// as soon as the file is done.

// What a thread keeps from one file to the next, so that a folder of small files does not take
// and give back the memory of every file.
struct FileCounting {
    SentenceReader reader;
    WordTable counts;     // of the file being counted
    WordBatch batches[2]; // the words of each of the reader's two blocks
};

// Counts are additive, so the tally of several files is the sum of theirs, whatever the order in
// which they are added. The table of a run over one file is its total.
inline void addCounts(WordTable& fileCounts, WordTable& total, bool severalFiles) {
    if (severalFiles)
        total.addAll(fileCounts);
    else
        std::swap(total, fileCounts);
}

// Has countFile(path, alone, counting, failure) count each file into the table of its thread,
// which is added to the total as soon as the file is done, so memory holds the total and one
// file's table per job. A file that fails adds nothing. `alone`: the file is the run's only one,
// so it may take a second thread; with several files, the jobs are the threads.
template <class CountFile>
void countTargets(const std::vector<TargetFile>& targets, const KeywordRunOptions& options,
                  std::vector<FileOutcome>& outcomes, WordTable& total, CountFile countFile) {
    const bool alone = targets.size() == 1;
    const int jobs = alone ? 1 : options.jobs;
    std::vector<FileCounting> perThread;
    for (int thread = 0; thread < jobs; ++thread)
        perThread.push_back({SentenceReader(options.sentenceLimit, options.progress), {}, {}});
    std::mutex totalMutex;
    forEachInParallel(targets.size(), jobs, [&](size_t i, size_t thread) {
        FileCounting& counting = perThread[thread];
        FileOutcome& outcome = outcomes[i];
        outcome.result = countFile(targets[i].path.c_str(), alone, counting, outcome.failure);
        if (outcome.result == RunResult::Done) {
            std::lock_guard<std::mutex> lock(totalMutex);
            addCounts(counting.counts, total, !alone);
        }
        counting.counts.clear();
        if (options.progress) ++options.progress->filesDone;
    });
}

// A keyword or compound run over one target, made by the run of its options over several: the
// target's failure is the run's.
template <class RunOptions>
RunResult runOneTarget(const TargetFile& target, const char* logPath, RunOptions options,
                       std::vector<RankingRow>& rows, RunFailure* failure) {
    std::vector<FileOutcome> outcomes;
    RunFailure unreported;
    RunFailure& report = failure ? *failure : unreported;
    RunResult result =
        run(std::vector<TargetFile>{target}, logPath, std::move(options), rows, outcomes, &report);
    if (!outcomes.empty() && outcomes[0].result != RunResult::Done) {
        report = outcomes[0].failure;
        result = outcomes[0].result;
    }
    if (result == RunResult::TargetUnreadable || result == RunResult::SentenceTooLong ||
        result == RunResult::RankingFailed)
        report.path = target.path;
    return result;
}
