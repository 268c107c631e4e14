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

// The words of a file on their way to the total, split by shard: those of each shard from
// added[shard] on are left to add, a part at a time.
struct WordsToAdd {
    const ShardedWords* words = nullptr;
    std::array<size_t, maxShards> added{};
    WordTally::FileMarks marks; // the user words found in the file, where the lists are noted

    size_t leftIn(size_t shard) const {
        return words
                   ? words->shortWords[shard].size() + words->longWords[shard].size() - added[shard]
                   : 0;
    }
    size_t left() const {
        size_t count = 0;
        for (size_t shard = 0; shard < maxShards; ++shard) count += leftIn(shard);
        return count;
    }
};

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
    WordsToAdd adding;                      // the words of the file counted last
    // What is left of the file before, whose last shards other jobs held: a copy of its words,
    // with the bytes of the long ones, added with those of the next file.
    WordsToAdd waiting;
    ShardedWords waitingWords;
    std::vector<char> waitingBytes;
};

// The total of a run over several files as its jobs add to it, each shard under a lock of its
// own. Where the lists are noted, it has `notedLists` and the stores of its shards' notes.
struct SharedTotal {
    SharedTotal(WordShards& shards, size_t shardCount, const WordTally* notedLists)
        : shards(shards), shardCount(shardCount), notedLists(notedLists) {}

    WordShards& shards;
    const size_t shardCount;
    const WordTally* const notedLists;
    std::array<std::mutex, maxShards> locks;
    WordTally::NoteStores noteStores;
};

// Adds the file just counted to the total, a part of a shard's words at a time under the shard's
// lock, so that the jobs add their files at the same time; each job starts at a shard of its own.
// A job that finds a shard taken goes on with another. Where every shard it has words left for is
// taken and few words are left, it leaves them for later and goes on to count its next file,
// unless words of the file before still wait: then it waits for one of their shards, for a part.
// Counts are additive, so the total is the sum of the files' whatever the order in which they
// are added.
void addToTotal(FileCounting& counting, SharedTotal& total, size_t firstShard);
// Adds what is left of the file before, once the job has no next file.
void addWaitingWords(FileCounting& counting, SharedTotal& total);
// Where the lists are noted: prepares the total and the jobs for the notes before any file is
// added, and turns the total into the run's tally once all are.
void prepareNotes(SharedTotal& total, std::vector<FileCounting>& jobs);
void applyNotes(SharedTotal& total, std::vector<FileCounting>& jobs);
// Otherwise turns the total into the run's tally once all files are added, on the jobs' threads.
void applyLists(const WordTally& lists, SharedTotal& total, std::vector<FileCounting>& jobs);

// Has countFile(path, alone, counting, failure) count each file into the table of its thread,
// which is added to the total once the file is done, so memory holds the total and one file's
// table per job (with what waits of the file before). A file that fails adds nothing. `alone`: the
// file is the run's only one, so it may take a second thread, and its table is the total; with
// several files, the jobs are the threads, and `lists`, where given, are applied to the total once
// all are added. Counting the files that found each user word (`filesOfUserWords`) takes a note of
// what the lists make of each word as it enters the total, for every file to mark the user words
// of its words: a fifth of the run's time where a list has many short words.
template <class CountFile>
void countTargets(const std::vector<TargetFile>& targets, const KeywordRunOptions& options,
                  const WordTally* lists, bool filesOfUserWords, std::vector<FileOutcome>& outcomes,
                  WordShards& total, CountFile countFile) {
    const bool alone = targets.size() == 1;
    const int jobs = alone ? 1 : options.jobs;
    std::vector<FileCounting> perThread;
    for (int thread = 0; thread < jobs; ++thread)
        perThread.emplace_back(SentenceReader(options.sentenceLimit, options.progress));
    const bool noting = !alone && lists && lists->hasLists() && filesOfUserWords;
    SharedTotal shared(total, shardsFor(jobs), noting ? lists : nullptr);
    if (noting) prepareNotes(shared, perThread);
    forEachInParallel(targets.size(), jobs, [&](size_t i, size_t thread) {
        FileCounting& counting = perThread[thread];
        FileOutcome& outcome = outcomes[i];
        outcome.result = countFile(targets[i].path.c_str(), alone, counting, outcome.failure);
        if (outcome.result == RunResult::Done && alone)
            std::swap(total[0], counting.counts);
        else if (outcome.result == RunResult::Done)
            addToTotal(counting, shared, thread * shared.shardCount / jobs);
        counting.counts.clear();
        if (options.progress) ++options.progress->filesDone;
    });
    for (FileCounting& counting : perThread) addWaitingWords(counting, shared);
    if (noting)
        applyNotes(shared, perThread);
    else if (!alone && lists)
        applyLists(*lists, shared, perThread);
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
