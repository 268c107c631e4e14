// Cases that pin the faults mended so far by hand. The bulk of the engine's behaviour is compared
// with the reference engine in differential_test.cpp.

#include "conversions.h"
#include "keyword_engine.h"
#include "search_banners.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <vector>

namespace {

struct KeywordSettings {
    int minBytes[6] = {};
    int minimumCounts = 0, toDouble = 0, toUpper = 0, englishMode = 0;
};

// keyword.log of a keyword run with 50 rows.
std::string keywordLog(const std::string& text, const KeywordSettings& s = {},
                       const std::set<std::string>& userWords = {}) {
    TemporaryFolder folder;
    writeBytes(folder.file("target.txt"), text);
    std::string logPath = folder.file("keyword.log");
    KeywordRunOptions options;
    std::copy(std::begin(s.minBytes), std::end(s.minBytes), options.minBytes.begin());
    options.minimumCount = s.minimumCounts;
    options.rows = 50;
    options.toFullWidth = s.toDouble == 1;
    options.toUpper = s.toUpper == 1;
    options.englishMode = s.englishMode == 1;
    options.userWords.assign(userWords.begin(), userWords.end());
    std::vector<RankingRow> rows;
    EXPECT_EQ(run(folder.file("target.txt").c_str(), logPath.c_str(), options, rows),
              RunResult::Done);
    return readBytes(logPath);
}

std::string logOf(const std::vector<std::string>& lines) {
    std::string log;
    for (const std::string& line : lines) log += line + "\r\n";
    return log;
}

// The hits of a search run, checked to stand between the banners.
std::vector<std::string> hitsOf(const std::string& text, const std::string& keyword,
                                int toDouble = 0, int toUpper = 0) {
    TemporaryFolder folder;
    writeBytes(folder.file("target.txt"), text);
    std::string resultPath = folder.file("result.txt");
    SearchRunOptions options{keyword, toDouble == 1, toUpper == 1};
    EXPECT_EQ(run(folder.file("target.txt").c_str(), resultPath.c_str(), options), RunResult::Done);
    std::string file = readBytes(resultPath);
    EXPECT_EQ(file.substr(0, searchHeader.size()), searchHeader);
    std::vector<std::string> hits;
    size_t at = searchHeader.size();
    for (size_t end; (end = file.find("\r\n\r\n", at)) != std::string::npos; at = end + 4)
        hits.push_back(file.substr(at, end - at));
    EXPECT_EQ(file.substr(at), searchFooter);
    return hits;
}

struct SplitCase {
    const char* name;
    std::string text;
    std::vector<std::string> sentences;
};

class SentenceSplit : public testing::TestWithParam<SplitCase> {};

// An empty keyword matches every processed sentence, which shows how the file was split.
TEST_P(SentenceSplit, ProcessesEachSentenceWithItsLineCount) {
    EXPECT_EQ(hitsOf(GetParam().text, ""), GetParam().sentences);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SentenceSplit,
    testing::Values(
        SplitCase{"LastLineWithoutBreak", "abc\r\nxyz", {"1L : abc", "2L : xyz"}},
        SplitCase{"OnlyOneLineWithoutBreak", "abc", {"1L : abc"}},
        SplitCase{"ZeroBytesSkipped", std::string("ab\0c\r\0\nd\n", 9), {"1L : abc", "2L : d"}},
        SplitCase{"ZeroBetweenLeadAndSecondByte",
                  std::string("\x81\0\x42x\n", 5),
                  {"0L : \x81\x42", "1L : x"}},
        // メB (0x83 0x81 0x42) is not 。
        SplitCase{"SecondByte81IsNoSentenceEnd", "\x83\x81\x42\n", {"1L : \x83\x81\x42"}},
        SplitCase{"DoubleByte8181ThenB", "\x81\x81\x42\n", {"1L : \x81\x81\x42"}},
        SplitCase{
            "LeadByteBeforeLineBreakStandsAlone", "\x83\r\n\x81\n", {"1L : \x83", "2L : \x81"}},
        SplitCase{"LeadByteBeforeFullStop", "\x83.\x81\x42", {"0L : \x83.", "0L : \x81\x42"}},
        SplitCase{"LeadByteAtEndOfFile", "ab\x81", {"1L : ab\x81"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Whatever the size of the blocks the file is read in, a 。 split between two of them still ends
// its sentence; the engine reads 256 KiB at a time.
TEST(SentenceSplit, FullWidthEndAcrossAnyBlockBoundary) {
    for (size_t split : {8192u, 65535u, 131072u, 262143u, 262144u}) {
        std::string text;
        while (text.size() + 100 < split) text += std::string(98, 'x') + "\r\n";
        text += std::string(split - 1 - text.size(), 'y') + "\x81\x42z\n"; // 。z
        std::vector<std::string> hits = hitsOf(text, "\x81\x42");
        ASSERT_EQ(hits.size(), 1u) << split;
        EXPECT_EQ(hits[0].substr(hits[0].size() - 2), "\x81\x42") << split;
    }
}

TEST(SentenceSplit, BlocksOfZeroBytesAreSkipped) {
    std::string text = "a\r" + std::string(600 * 1024, '\0') + "\nb." + std::string(70000, '\0');
    EXPECT_EQ(hitsOf(text, ""), (std::vector<std::string>{"1L : a", "1L : b."}));
}

struct SegmentCase {
    const char* name;
    std::string text;
    KeywordSettings settings;
    std::set<std::string> userWords;
    std::vector<std::string> log;
};

class Segmentation : public testing::TestWithParam<SegmentCase> {};

TEST_P(Segmentation, CountsTheRetainedWords) {
    const SegmentCase& c = GetParam();
    EXPECT_EQ(keywordLog(c.text, c.settings, c.userWords), logOf(c.log));
}

const KeywordSettings toUpper = {{}, 0, 0, 1, 0};

INSTANTIATE_TEST_SUITE_P(
    Cases, Segmentation,
    testing::Values(
        SegmentCase{"LowerCaseAlsoCountedUpper", "abc\n", toUpper, {}, {"1 : abc", "1 : ABC"}},
        // ｶﾀｶﾅ also as カタカナ; ｡ and ABC stay as they are and count once
        SegmentCase{"UnchangedConversionCountedOnce",
                    "ABC \xa1 \xb6\xc0\xb6\xc5\n",
                    {{}, 0, 1, 1, 0},
                    {},
                    {"1 : \xb6\xc0\xb6\xc5", "1 : \xa1", "1 : \x83\x4a\x83\x5e\x83\x4a\x83\x69",
                     "1 : ABC"}},
        SegmentCase{"LongWordKeptWhole",
                    std::string(1023, 'w') + ".",
                    {},
                    {},
                    {"1 : " + std::string(1023, 'w') + "."}},
        // ヂ is 0x83 0x61: the a in it is a second byte, not a letter
        SegmentCase{"UserWordOnlyOnCharacterBoundary",
                    "\x83\x61\x83\x61\n",
                    {},
                    {"a", "\x61\x83"},
                    {"1 : \x83\x61\x83\x61"}},
        // A blanked lead byte frees its second byte to start an occurrence.
        SegmentCase{"BlankingMovesBoundaries",
                    "\x88\x88\x88\x61\n",
                    {},
                    {"\x88\x88\x88", "a"},
                    {"1 : \x88\x88\x88\x61", "1 : \x88\x88\x88", "1 : a"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct MatchCase {
    const char* name;
    std::string sentence, keyword;
    int toDouble, toUpper;
    bool hit;
};

class Match : public testing::TestWithParam<MatchCase> {};

TEST_P(Match, TestsTheSentence) {
    const MatchCase& c = GetParam();
    std::vector<std::string> hits = hitsOf(c.sentence + "\n", c.keyword, c.toDouble, c.toUpper);
    // A hit is printed as read, never converted.
    EXPECT_EQ(hits,
              c.hit ? std::vector<std::string>{"1L : " + c.sentence} : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Match,
    testing::Values(MatchCase{"SecondByteIsNoLetter", "\x83\x61", "a", 0, 0, false}, // ヂ
                    MatchCase{"SecondByteNotUpperCased", "\x83\x61", "A", 0, 1, false}),
    [](const auto& info) { return std::string(info.param.name); });

// A lead byte at the end of a text has no second byte to convert with it.
TEST(FullWidthKana, TrailingLeadByte) {
    EXPECT_EQ(toFullWidthKana("\xB1\x83"), "\x83\x41\x83"); // ｱ and a lead byte
}

TEST(UpperCase, TrailingLeadByte) {
    EXPECT_EQ(toUpperCase("a\x83"), "A\x83");
}

TEST(Failures, OutputThatCannotBeOpenedIsAnIoError) {
    TemporaryFolder folder;
    writeBytes(folder.file("target.txt"), "abc\n");
    std::string blocked = folder.file("no-such-folder/keyword.log");
    KeywordRunOptions keywords;
    keywords.rows = 10;
    std::vector<RankingRow> rows;
    EXPECT_EQ(run(folder.file("target.txt").c_str(), blocked.c_str(), keywords, rows),
              RunResult::OutputError);
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(run(folder.file("missing.txt").c_str(), blocked.c_str(), SearchRunOptions{"a"}),
              RunResult::OutputError);
}

#ifndef _WIN32
TEST(Failures, OutputWriteFailureIsAnIoError) {
    TemporaryFolder folder;
    writeBytes(folder.file("target.txt"), "abc def\n");
    KeywordRunOptions options;
    options.rows = 10;
    std::vector<RankingRow> rows;
    EXPECT_EQ(run(folder.file("target.txt").c_str(), "/dev/full", options, rows),
              RunResult::OutputError);
}
#endif

} // namespace
