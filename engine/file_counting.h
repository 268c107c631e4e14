#pragma once

#include "counting_thread.h"
#include "keyword_engine.h"
#include "parallel_work.h"
#include "run_frame.h"
#include "sentence_reader.h"
#include "word_table.h"
#include "word_tally.h"

#include <mutex>
#include <utility>
#include <vector>

// How a run over several files counts them: each file into a table of its own, added to the total
// once the file is done.

// What a thread keeps from one file to the next, so that a folder of small files does not take
// and give back the memory of every file.
struct FileCounting {
    explicit FileCounting(SentenceReader reader) : reader(std::move(reader)) {}

    SentenceReader reader;
    WordTable counts;                // of the file being counted
    std::vector<WordTable> waiting;  // of files done while another job added to the total
    std::vector<WordTable> spare;    // cleared, for the files to come
    WordBatch batches[2];            // the words of each of the reader's two blocks
    WordTally::Scratch scratches[2]; // for the lists of a keyword run
};

// A job that finds the total taken by another goes on with its next file rather than wait, and
// adds the files it has done once the total is free; with this many done it waits.
constexpr size_t mostWaitingFiles = 4;

// Adds the file just counted to the total, with the files that waited, unless the total is taken
// and few files wait. Counts are additive, so the total is the sum of the files' whatever the
// order in which they are added.
inline void addToTotal(FileCounting& counting, WordTable& total, std::mutex& totalMutex) {
    std::unique_lock<std::mutex> lock(totalMutex, std::defer_lock);
    if (counting.waiting.size() + 1 < mostWaitingFiles && !lock.try_lock()) {
        counting.waiting.push_back(std::move(counting.counts));
        counting.counts = WordTable();
        if (!counting.spare.empty()) {
            counting.counts = std::move(counting.spare.back());
            counting.spare.pop_back();
        }
        return;
    }
    if (!lock.owns_lock()) lock.lock();
    total.addAll(counting.counts);
    for (const WordTable& waiting : counting.waiting) total.addAll(waiting);
    lock.unlock();
    for (WordTable& waiting : counting.waiting) {
        waiting.clear();
        counting.spare.push_back(std::move(waiting));
    }
    counting.waiting.clear();
    counting.counts.clear();
}

// Has countFile(path, alone, counting, failure) count each file into the table of its thread,
// which is added to the total once the file is done, so memory holds the total and a few files'
// tables per job. A file that fails adds nothing. `alone`: the file is the run's only one, so it
// may take a second thread, and its table is the total; with several files, the jobs are the
// threads.
template <class CountFile>
void countTargets(const std::vector<TargetFile>& targets, const KeywordRunOptions& options,
                  std::vector<FileOutcome>& outcomes, WordTable& total, CountFile countFile) {
    const bool alone = targets.size() == 1;
    const int jobs = alone ? 1 : options.jobs;
    std::vector<FileCounting> perThread;
    for (int thread = 0; thread < jobs; ++thread)
        perThread.emplace_back(SentenceReader(options.sentenceLimit, options.progress));
    std::mutex totalMutex;
    forEachInParallel(targets.size(), jobs, [&](size_t i, size_t thread) {
        FileCounting& counting = perThread[thread];
        FileOutcome& outcome = outcomes[i];
        outcome.result = countFile(targets[i].path.c_str(), alone, counting, outcome.failure);
        if (outcome.result != RunResult::Done)
            counting.counts.clear();
        else if (alone)
            std::swap(total, counting.counts);
        else
            addToTotal(counting, total, totalMutex);
        if (options.progress) ++options.progress->filesDone;
    });
    for (FileCounting& counting : perThread)
        for (const WordTable& waiting : counting.waiting) total.addAll(waiting);
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
