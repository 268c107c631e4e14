// The word table keeps words of up to eight bytes and longer ones apart; these cases cross that
// line, where a mix-up would change counts or the order of the log.
#include "keyword_engine.h"
#include "word_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

using Counted = std::pair<std::string, std::int64_t>;

std::vector<Counted> rankedWords(WordShards shards, std::int64_t minimum) {
    std::vector<Counted> ranked;
    WordRanking(std::move(shards), minimum, 2)
        .forEach([&](std::string_view word, std::int64_t count, std::int64_t) {
            ranked.emplace_back(word, count);
        });
    return ranked;
}

// A run over one file ranks its table as it is.
std::vector<Counted> rankedWords(WordTable table, std::int64_t minimum) {
    WordShards shards;
    shards[0] = std::move(table);
    return rankedWords(std::move(shards), minimum);
}

// A run over several files adds them up in shards, a part of each shard's words at a time.
void addToShards(const WordTable& table, WordShards& shards, size_t partSize = SIZE_MAX) {
    ShardedWords split;
    table.splitInto(split, maxShards);
    for (size_t shard = 0; shard < maxShards; ++shard) {
        const size_t words = split.shortWords[shard].size() + split.longWords[shard].size();
        for (size_t added = 0; added < words;)
            added = shards[shard].addShard(split, shard, added, partSize);
    }
}

#ifdef __linux__
// The word tables lay arrays of a large page or more out on a large-page boundary.
TEST(LargePages, LargeArraysStartOnALargePageBoundary) {
    LargeVector<std::uint64_t> slots(largePageSize / sizeof(std::uint64_t) - 1, 7);
    slots.resize(slots.size() + 2, 7); // past a large page: moved into one
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(slots.data()) % largePageSize, 0u);
    EXPECT_EQ(static_cast<size_t>(std::count(slots.begin(), slots.end(), 7)), slots.size());
}
#endif

// Counts past 32 bits stay whole: a file with 2^31 occurrences is far too slow to count in a test,
// so every count of the engine is 64 bits wide, down to the word table's.
TEST(WordTable, RanksShortAndLongWordsInOneOrder) {
    static_assert(std::is_same_v<decltype(RankingRow::count), std::int64_t>);
    const std::int64_t big = std::int64_t{1} << 32;
    std::vector<Counted> added = {{"abcdefgh", 2},
                                  {"abcdefghi", 2},
                                  {"abcdefgg", 2},
                                  {"abcdefghh", 2},
                                  {"\xff", 2},
                                  {"\x81\x40", 2},
                                  {"\xff\xff\xff\xff\xff\xff\xff\xff\x01", 2},
                                  {"b", 1},
                                  {"abcdefghij", 1},
                                  {"\x81\x40\x81\x40\x81\x40\x81\x40\x81", 1},
                                  {"", 1},
                                  {"below", 0},
                                  {"long word 1", big + 5},
                                  {"long word 2", big + 3},
                                  {"short", big + 4},
                                  {"long word 3", big + 3},
                                  {"x", 3}};
    WordTable table;
    for (const auto& [word, count] : added) table.add(word, count);
    table.add("abcdefghi", 0); // adding nothing keeps a word as it is

    std::vector<Counted> expected;
    for (const auto& entry : added)
        if (entry.second >= 1) expected.push_back(entry);
    std::sort(expected.begin(), expected.end(), [](const Counted& a, const Counted& b) {
        return a.second != b.second ? a.second > b.second : a.first > b.first;
    });
    WordShards shards;
    addToShards(table, shards);
    EXPECT_EQ(rankedWords(std::move(shards), -7), expected);
    EXPECT_EQ(rankedWords(std::move(table), -7), expected);
}

TEST(WordTable, EveryWordIsCountedAndUpdatedOnceAsTheTablesGrow) {
    WordTable table;
    std::vector<std::string> words;
    for (int i = 0; i < 20000; ++i)
        words.push_back(std::string(1 + i % 12, 'a' + i % 26) + std::to_string(i));
    // As in a block of the reader: the words side by side, with padding after the last.
    std::string block;
    for (const std::string& word : words) block += word;
    block.append(8, '\0');
    std::vector<std::string_view> views;
    size_t at = 0;
    for (const std::string& word : words) {
        views.emplace_back(block.data() + at, word.size());
        at += word.size();
    }
    for (int pass = 0; pass < 2; ++pass)
        for (size_t first = 0; first < views.size(); first += WordTable::lookupGroupSize)
            table.addOneToEach(&views[first],
                               std::min(WordTable::lookupGroupSize, views.size() - first));
    for (const std::string& word : words) ASSERT_EQ(table.countOf(word), 2) << word;
    EXPECT_EQ(table.size(), words.size());
    WordShards total; // as a run over several files adds up their tables: they grow more than once
    addToShards(table, total, 7); // parts that end among the short words, the long, and between
    size_t totalWords = 0;
    for (const WordTable& shard : total) totalWords += shard.size();
    EXPECT_EQ(totalWords, words.size());
    for (const std::string& word : words)
        ASSERT_EQ(total[shardOfWord(word, maxShards)].countOf(word), withFiles(2)) << word;

    std::int64_t updated = 0;
    for (size_t part = 0; part < 2; ++part)
        table.updateCounts(part, 2, [&](std::string_view, std::int64_t count) {
            ++updated;
            return count * 5;
        });
    EXPECT_EQ(updated, static_cast<std::int64_t>(words.size()));
    for (const std::string& word : words) ASSERT_EQ(table.countOf(word), 10) << word;
    EXPECT_EQ(rankedWords(std::move(table), 11).size(), 0u);
}

// Most words of a large table are counted once and are put in order by their bytes, a byte at a
// time, the others by comparison. The words here are made of four bytes, two above 0x7F, so that
// they share first bytes, up to the whole eight-byte prefix of long words, and every short one
// begins many longer ones, before which it ranks; any byte taken signed or in the wrong order, a
// group of bytes left out or a group left unsorted would show in the order.
TEST(WordTable, RanksManyWordsCountedOnceInByteOrder) {
    std::minstd_rand random(5);
    const std::string bytes = "\x82\xE0\x9F\x41";
    std::map<std::string, std::int64_t> counts;
    while (counts.size() < 70000) {
        std::string word(1 + random() % 14, ' ');
        for (char& byte : word) byte = bytes[random() % bytes.size()];
        counts.emplace(word, 1);
    }
    for (auto& [word, count] : counts)
        if (random() % 4 == 0) count += 1 + random() % 3;
    WordTable table;
    for (const auto& [word, count] : counts) table.add(word, count);
    std::vector<Counted> expected(counts.begin(), counts.end());
    std::sort(expected.begin(), expected.end(), [](const Counted& a, const Counted& b) {
        return a.second != b.second ? a.second > b.second : a.first > b.first;
    });
    EXPECT_EQ(rankedWords(std::move(table), 1), expected);
}

// A thread counts file after file in one table, cleared in between: a large file's table starts
// small again after a small file, and must neither keep a word of the file before nor lose one.
TEST(WordTable, AClearedTableCountsFilesOfEverySizeInTurn) {
    auto wordOf = [](int i) { return std::string(1 + i % 11, 'k') + std::to_string(i); };
    WordTable counts;
    WordShards total;
    const int sizes[] = {30000, 3, 30000, 700, 1};
    for (int size : sizes) {
        std::vector<std::string> words;
        for (int i = 0; i < size; ++i) words.push_back(wordOf(i));
        for (const std::string& word : words) counts.add(word, 1);
        ASSERT_EQ(counts.size(), words.size());
        addToShards(counts, total);
        counts.clear();
        ASSERT_EQ(counts.size(), 0u);
        ASSERT_EQ(counts.countOf(words.back()), 0);
    }
    std::int64_t filesOfFirstWord = 0;
    std::int64_t filesOfLastWords = 0;
    WordRanking(std::move(total), 1, 2)
        .forEach([&](std::string_view word, std::int64_t count, std::int64_t files) {
            EXPECT_EQ(count, files) << word;
            if (word == wordOf(0)) filesOfFirstWord = files;
            if (word == wordOf(29999)) filesOfLastWords = files;
        });
    EXPECT_EQ(filesOfFirstWord, 5);
    EXPECT_EQ(filesOfLastWords, 2);
}

} // namespace
