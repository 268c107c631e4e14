#pragma once

#include "counting_thread.h"
#include "keyword_engine.h"
#include "parallel_work.h"
#include "run_frame.h"
#include "sentence_reader.h"
#include "word_table.h"
#include "word_tally.h"

#include <array>
#include <cstddef>
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
    ShardedWords countsByShard;      // its words as they are added to the total
    WordBatch batches[2];            // the words of each of the reader's two blocks
    WordTally::Scratch scratches[2]; // for the lists of a keyword run
};

// Adds a file's counts to the total a shard at a time, each under its own lock, so that the jobs
// add their files at the same time; each job starts at a shard of its own. Counts are additive,
// so the total is the sum of the files' whatever the order in which they are added.
inline void addToTotal(FileCounting& counting, WordShards& total,
                       std::array<std::mutex, maxShards>& shardLocks, size_t shards,
                       size_t firstShard) {
    counting.counts.splitInto(counting.countsByShard, shards);
    for (size_t i = 0; i < shards; ++i) {
        size_t shard = (firstShard + i) % shards;
        std::lock_guard<std::mutex> lock(shardLocks[shard]);
        total[shard].addShard(counting.countsByShard, shard);
    }
}

// Has countFile(path, alone, counting, failure) count each file into the table of its thread,
// which is added to the total once the file is done, so memory holds the total and one file's
// table per job. A file that fails adds nothing. `alone`: the file is the run's only one, so it
// may take a second thread, and its table is the total; with several files, the jobs are the
// threads.
template <class CountFile>
void countTargets(const std::vector<TargetFile>& targets, const KeywordRunOptions& options,
                  std::vector<FileOutcome>& outcomes, WordShards& total, CountFile countFile) {
    const bool alone = targets.size() == 1;
    const int jobs = alone ? 1 : options.jobs;
    std::vector<FileCounting> perThread;
    for (int thread = 0; thread < jobs; ++thread)
        perThread.emplace_back(SentenceReader(options.sentenceLimit, options.progress));
    const size_t shards = shardsFor(jobs);
    std::array<std::mutex, maxShards> shardLocks;
    forEachInParallel(targets.size(), jobs, [&](size_t i, size_t thread) {
        FileCounting& counting = perThread[thread];
        FileOutcome& outcome = outcomes[i];
        outcome.result = countFile(targets[i].path.c_str(), alone, counting, outcome.failure);
        if (outcome.result == RunResult::Done && alone)
            std::swap(total[0], counting.counts);
        else if (outcome.result == RunResult::Done)
            addToTotal(counting, total, shardLocks, shards, thread * shards / jobs);
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
