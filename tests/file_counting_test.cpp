// A job that finds the shards it has words left for taken by other jobs leaves those words for
// later and counts its next file; they must still be added once, with the number of files of
// each word and of each user word found in them as if they had not waited.
#include "file_counting.h"

#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

void countWords(WordTable& counts, const std::vector<std::string>& words) {
    counts.clear();
    for (const std::string& word : words) counts.add(word, 1);
}

TEST(SeveralFiles, WordsLeftForLaterAreAddedOnceWithTheirFile) {
    std::vector<std::string> userWords = {"ab"};
    std::vector<std::string> excludedWords = {"zz"};
    const WordTally lists(userWords, excludedWords, 1024);
    std::vector<FileCounting> jobs;
    jobs.emplace_back(SentenceReader(1024, nullptr));
    FileCounting& job = jobs[0];
    WordShards shards;
    SharedTotal total(shards, 2, &lists);
    prepareNotes(total, jobs);

    // The user word is found in words of the first file that are added at once (shard 0), and
    // counted for that file although some of its words wait.
    auto inShard = [](const std::string& stem, size_t shard) {
        for (int i = 0;; ++i)
            if (shardOfWord(stem + std::to_string(i), 2) == shard) return stem + std::to_string(i);
    };
    const std::string nearAb = inShard("xab", 0);
    const std::string longAb = inShard("a long word with ab ", 0);
    std::vector<std::string> first = {nearAb, longAb, "zz", "both"};
    std::vector<std::string> second = {"ab", "both", "qq"};
    for (int i = 0; i < 200; ++i) first.push_back("one " + std::to_string(i));
    countWords(job.counts, first);
    std::promise<void> held, done;
    std::thread otherJob([&] { // adds to shard 1 meanwhile
        std::lock_guard<std::mutex> lock(total.locks[1]);
        held.set_value();
        done.get_future().wait();
    });
    held.get_future().wait();
    addToTotal(job, total, 0);
    EXPECT_EQ(shards[1].size(), 0u);
    EXPECT_GT(job.waiting.left(), 0u);
    done.set_value();
    otherJob.join();
    countWords(job.counts, second);
    addToTotal(job, total, 1);
    addWaitingWords(job, total);
    applyNotes(total, jobs);

    struct Expected {
        std::string word;
        std::int64_t count, files;
    };
    const Expected expected[] = {{"ab", 3, 2}, {nearAb, 1, 1},  {longAb, 1, 1}, {"both", 2, 2},
                                 {"qq", 1, 1}, {"one 7", 1, 1}, {"zz", 0, 0}};
    for (const Expected& e : expected) {
        const std::int64_t counted = shards[shardOfWord(e.word, 2)].countOf(e.word);
        EXPECT_EQ(countPart(counted), e.count) << e.word;
        EXPECT_EQ(filesPart(counted), e.files) << e.word;
    }
    size_t words = 0;
    for (const WordTable& shard : shards) words += shard.size();
    EXPECT_EQ(words, first.size() + 2); // and "ab" and "qq"
}

} // namespace
