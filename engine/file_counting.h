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
#include <optional>
#include <utility>
#include <vector>

// How a run over several files counts them: each file into a table of its own, added to the total
// once the file is done.

// What a thread keeps from one file to the next, so that a folder of small files does not take
// and give back the memory of every file. The table lies on cache lines of its own: while the
// counting thread adds words to it, the cutting thread writes the reader and the batches, and
// sharing a line with them made the run over one file a fifth slower.
struct FileCounting {
    explicit FileCounting(SentenceReader reader) : reader(std::move(reader)) {}

    SentenceReader reader;
    alignas(64) WordTable counts;           // of the file being counted
    alignas(64) ShardedWords countsByShard; // its words as they are added to the total
    WordBatch batches[2];                   // the words of each of the reader's two blocks
    WordTally::Scratch scratches[2];        // for the lists of a keyword run
};

// What the total asks of a job as it adds one file's words to a shard, where the lists are noted
// in the total: what the lists make of a word new to the total, kept in the shard's store, and the
// user words found in each of the file's words, marked for the file.
class FileNotes final : public WordNotes {
  public:
    FileNotes(const WordTally& lists, WordTally::NoteStores& stores, std::uint32_t file,
              WordTally::Scratch& scratch)
        : lists(lists), stores(stores), file(file), scratch(scratch) {}
    void useShard(size_t shard) { store = &stores[shard]; }
    std::uint32_t noteOf(std::string_view word) override {
        return lists.noteOf(word, *store, scratch);
    }
    void take(std::uint32_t note) override { lists.markUserWordsOf(note, *store, file, scratch); }

  private:
    const WordTally& lists;
    WordTally::NoteStores& stores;
    std::uint32_t file;
    WordTally::Scratch& scratch;
    std::vector<std::uint32_t>* store = nullptr;
};

// Adds a file's counts to the total a shard at a time, each under its own lock, so that the jobs
// add their files at the same time; each job starts at a shard of its own. A lock is held for a
// part of a shard's words at a time: a job that finds a shard taken goes on with another, and
// waits only where every shard it has words left for is taken, for one part. Counts are
// additive, so the total is the sum of the files' whatever the order in which they are added.
inline void addToTotal(FileCounting& counting, WordShards& total,
                       std::array<TurnLock, maxShards>& shardLocks, size_t shards,
                       size_t firstShard, FileNotes* notes) {
    constexpr size_t partSize = 128;
    const ShardedWords& split = counting.countsByShard;
    counting.counts.splitInto(counting.countsByShard, shards);
    std::array<size_t, maxShards> added{}; // words of each shard
    auto isDone = [&](size_t shard) {
        return added[shard] == split.shortWords[shard].size() + split.longWords[shard].size();
    };
    size_t shardsLeft = 0;
    for (size_t shard = 0; shard < shards; ++shard) shardsLeft += !isDone(shard);
    size_t taken = 0; // shards found taken since a part was last added
    for (size_t shard = firstShard % shards; shardsLeft != 0; shard = (shard + 1) % shards) {
        if (isDone(shard)) continue;
        std::unique_lock<TurnLock> lock(shardLocks[shard], std::defer_lock);
        if (!lock.try_lock()) {
            if (++taken < shardsLeft) continue;
            lock.lock();
        }
        taken = 0;
        if (notes) notes->useShard(shard);
        added[shard] = total[shard].addShard(split, shard, added[shard], partSize, notes);
        shardsLeft -= isDone(shard);
    }
}

// Has countFile(path, alone, counting, failure) count each file into the table of its thread,
// which is added to the total once the file is done, so memory holds the total and one file's
// table per job. A file that fails adds nothing. `alone`: the file is the run's only one, so it
// may take a second thread, and its table is the total; with several files, the jobs are the
// threads, and `lists`, where given, are applied through notes in the total once all are added.
template <class CountFile>
void countTargets(const std::vector<TargetFile>& targets, const KeywordRunOptions& options,
                  const WordTally* lists, std::vector<FileOutcome>& outcomes, WordShards& total,
                  CountFile countFile) {
    const bool alone = targets.size() == 1;
    const int jobs = alone ? 1 : options.jobs;
    std::vector<FileCounting> perThread;
    for (int thread = 0; thread < jobs; ++thread)
        perThread.emplace_back(SentenceReader(options.sentenceLimit, options.progress));
    const size_t shards = shardsFor(jobs);
    std::array<TurnLock, maxShards> shardLocks;
    const bool noting = !alone && lists && lists->hasLists();
    WordTally::NoteStores noteStores;
    std::vector<WordTally::Scratch*> noteScratches;
    if (noting) {
        for (size_t shard = 0; shard < shards; ++shard) total[shard].keepNotes();
        for (FileCounting& counting : perThread) {
            lists->prepareForNotes(counting.scratches[0]);
            noteScratches.push_back(&counting.scratches[0]);
        }
    }
    forEachInParallel(targets.size(), jobs, [&](size_t i, size_t thread) {
        FileCounting& counting = perThread[thread];
        FileOutcome& outcome = outcomes[i];
        outcome.result = countFile(targets[i].path.c_str(), alone, counting, outcome.failure);
        if (outcome.result == RunResult::Done && alone) {
            std::swap(total[0], counting.counts);
        } else if (outcome.result == RunResult::Done) {
            std::optional<FileNotes> notes;
            if (noting)
                notes.emplace(*lists, noteStores, static_cast<std::uint32_t>(i),
                              counting.scratches[0]);
            addToTotal(counting, total, shardLocks, shards, thread * shards / jobs,
                       notes ? &*notes : nullptr);
        }
        counting.counts.clear();
        if (options.progress) ++options.progress->filesDone;
    });
    if (noting) lists->applyNotes(total, shards, noteStores, noteScratches);
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
