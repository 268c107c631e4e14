// A job that finds the shards it has words left for taken by other jobs leaves those words for
// later and counts its next file; they must still be added once, with the number of files of
// each word and of each user word found in them as if they had not waited.
#include "file_counting.h"

#include <gtest/gtest.h>

#include <string>
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

    std::vector<std::string> first = {"ab", "xaby", "zz", "a long word with ab", "both"};
    std::vector<std::string> second = {"ab", "both", "qq"};
    for (int i = 0; i < 200; ++i) first.push_back("one " + std::to_string(i));
    countWords(job.counts, first);
    total.locks[1].lock(); // another job adds to shard 1
    addToTotal(job, total, 0);
    EXPECT_EQ(shards[1].size(), 0u);
    EXPECT_GT(job.waiting.left(), 0u);
    total.locks[1].unlock();
    countWords(job.counts, second);
    addToTotal(job, total, 1);
    addWaitingWords(job, total);
    applyNotes(total, jobs);

    struct Expected {
        std::string word;
        std::int64_t count, files;
    };
    const Expected expected[] = {{"ab", 4, 2},   {"xaby", 1, 1}, {"a long word with ab", 1, 1},
                                 {"both", 2, 2}, {"qq", 1, 1},   {"one 7", 1, 1},
                                 {"zz", 0, 0}};
    for (const Expected& e : expected) {
        const std::int64_t counted = shards[shardOfWord(e.word, 2)].countOf(e.word);
        EXPECT_EQ(countPart(counted), e.count) << e.word;
        EXPECT_EQ(filesPart(counted), e.files) << e.word;
    }
    size_t words = 0;
    for (const WordTable& shard : shards) words += shard.size();
    EXPECT_EQ(words, first.size() + 1); // and "qq"
}

} // namespace
