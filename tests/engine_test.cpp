#include "keyword_engine.h"
#include "search_banners.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

struct KeywordSettings {
    int minBytes[6] = {};
    int minimumCounts = 0;
    int keywordCounts = 50;
    int toDouble = 0;
    int toUpper = 0;
    int englishMode = 0;
};

struct KeywordOutcome {
    RunResult result;
    std::string log;
    std::vector<std::string> rows; // "count:word" for every filled top entry
};

KeywordOutcome keywordRun(const std::string& text, const KeywordSettings& settings = {},
                          const std::set<std::string>& userWords = {},
                          const std::set<std::string>& excludedWords = {}) {
    TemporaryFolder folder;
    writeBytes(folder.file("target.txt"), text);
    std::string logPath = folder.file("keyword.log");
    KeywordOutcome outcome;
    {
        const int* m = settings.minBytes;
        KeywordEngine engine(logPath.c_str(), m[0], m[1], m[2], m[3], m[4], m[5],
                             settings.minimumCounts, settings.keywordCounts, settings.toDouble,
                             settings.toUpper, settings.englishMode);
        for (const std::string& word : userWords)
            engine.addUserWord(static_cast<int>(word.size()), word.c_str());
        for (const std::string& word : excludedWords) engine.addExcludedWord(word.c_str());
        outcome.result = engine.run(folder.file("target.txt").c_str());
        for (int i = 0; i < KeywordEngine::maxTopWords; ++i)
            if (!engine.topWords[i].empty())
                outcome.rows.push_back(std::to_string(engine.topCounts[i]) + ":" +
                                       engine.topWords[i]);
    }
    outcome.log = readBytes(logPath);
    return outcome;
}

std::string logOf(const std::vector<std::string>& lines) {
    std::string log;
    for (const std::string& line : lines) log += line + "\r\n";
    return log;
}

struct SearchOutcome {
    RunResult result;
    std::string file;
};

SearchOutcome searchRun(const std::string& text, const std::string& keyword, int toDouble = 0,
                        int toUpper = 0) {
    TemporaryFolder folder;
    writeBytes(folder.file("target.txt"), text);
    std::string resultPath = folder.file("result.txt");
    SearchOutcome outcome;
    {
        KeywordEngine engine(resultPath.c_str(), keyword.c_str(), toDouble, toUpper);
        engine.writeSearchHeader();
        outcome.result = engine.run(folder.file("target.txt").c_str());
        engine.writeSearchFooter();
    }
    outcome.file = readBytes(resultPath);
    return outcome;
}

// The result lines of a search, without their blank lines and the banners.
std::vector<std::string> hitsOf(const SearchOutcome& outcome) {
    EXPECT_EQ(outcome.file.substr(0, searchHeader.size()), searchHeader);
    std::vector<std::string> hits;
    size_t at = searchHeader.size();
    for (size_t end; (end = outcome.file.find("\r\n\r\n", at)) != std::string::npos; at = end + 4)
        hits.push_back(outcome.file.substr(at, end - at));
    EXPECT_EQ(outcome.file.substr(at), searchFooter);
    return hits;
}

// An empty keyword matches every processed sentence, which shows how the file was split.
std::vector<std::string> sentencesOf(const std::string& text) {
    SearchOutcome outcome = searchRun(text, "");
    EXPECT_EQ(outcome.result, ResultOk);
    return hitsOf(outcome);
}

struct SplitCase {
    const char* name;
    std::string text;
    std::vector<std::string> sentences;
};

class SentenceSplit : public testing::TestWithParam<SplitCase> {};

TEST_P(SentenceSplit, ProcessesEachSentenceWithItsLineCount) {
    EXPECT_EQ(sentencesOf(GetParam().text), GetParam().sentences);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SentenceSplit,
    testing::Values(
        SplitCase{"Empty", "", {}}, SplitCase{"CrLf", "abc\r\ndef\r\n", {"1L : abc", "2L : def"}},
        SplitCase{"LfCrCountsTwice", "abc\n\rdef\r", {"1L : abc", "2L : ", "3L : def"}},
        SplitCase{"FullStopKeepsLineCount", "A. B\n", {"0L : A.", "1L :  B"}},
        SplitCase{"ExclamationAndQuestion", "a!b?\n", {"0L : a!", "0L : b?", "1L : "}},
        // 今日は晴れ。明日も晴れ。
        SplitCase{"FullWidthEnds",
                  "\x8d\xa1\x93\xfa\x82\xcd\x90\xb0\x82\xea\x81\x42"
                  "\x96\xbe\x93\xfa\x82\xe0\x90\xb0\x82\xea\x81\x42\r\n",
                  {"0L : \x8d\xa1\x93\xfa\x82\xcd\x90\xb0\x82\xea\x81\x42",
                   "0L : \x96\xbe\x93\xfa\x82\xe0\x90\xb0\x82\xea\x81\x42", "1L : "}},
        SplitCase{"FullWidthExclamationAndQuestion",
                  "a\x81\x49"
                  "b\x81\x48", // a！b？
                  {"0L : a\x81\x49", "0L : b\x81\x48"}},
        // <b>重要</b>です。
        SplitCase{"TagsStripped",
                  "<b>\x8f\x64\x97\x76</b>\x82\xc5\x82\xb7\x81\x42",
                  {"0L : \x8f\x64\x97\x76\x82\xc5\x82\xb7\x81\x42"}},
        SplitCase{"TagDoesNotCarryOver", "a<b\nc>d\n", {"1L : a", "2L : cd"}},
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
// its sentence.
TEST(SentenceSplit, FullWidthEndAcrossAnyBlockBoundary) {
    for (size_t split : {8191u, 8192u, 16383u, 65535u, 65536u, 131071u}) {
        std::string text;
        while (text.size() + 100 < split) text += std::string(98, 'x') + "\r\n";
        text += std::string(split - 1 - text.size(), 'y');
        text += "\x81\x42z\n"; // 。z
        std::vector<std::string> hits = hitsOf(searchRun(text, "\x81\x42"));
        ASSERT_EQ(hits.size(), 1u) << split;
        EXPECT_EQ(hits[0].substr(hits[0].size() - 2), "\x81\x42") << split;
    }
}

TEST(SentenceSplit, BlocksOfZeroBytesAreSkipped) {
    std::string text = "a\r" + std::string(600 * 1024, '\0') + "\nb." + std::string(70000, '\0');
    EXPECT_EQ(sentencesOf(text), (std::vector<std::string>{"1L : a", "1L : b."}));
}

TEST(SentenceLimit, ThousandTwentyThreeBytesAreASentenceAndOneMoreOverflows) {
    std::string longest(1023, 'a');
    EXPECT_EQ(searchRun(longest + "\n", "").result, ResultOk);
    EXPECT_EQ(searchRun(longest + "\x81\x42", "").result, ResultOk); // 1025 bytes with 。
    EXPECT_EQ(searchRun(longest + ".", "").result, ResultOk);
    SearchOutcome overflow = searchRun("ok\n" + longest + "a\n", "");
    EXPECT_EQ(overflow.result, ResultBufferOverflow);
    // The run closed the file, so the closing banner written after it is lost.
    EXPECT_EQ(overflow.file, searchHeader + "1L : ok\r\n\r\n");
    EXPECT_EQ(searchRun(longest + "\x83\x81", "").result, ResultBufferOverflow);
}

TEST(SentenceLimit, OverflowLeavesKeywordLogEmpty) {
    KeywordOutcome outcome = keywordRun("abc\n" + std::string(1024, 'x') + "\n");
    EXPECT_EQ(outcome.result, ResultBufferOverflow);
    EXPECT_EQ(outcome.log, "");
    EXPECT_TRUE(outcome.rows.empty());
}

struct SegmentCase {
    const char* name;
    std::string text;
    KeywordSettings settings;
    std::vector<std::string> log;
};

class Segmentation : public testing::TestWithParam<SegmentCase> {};

TEST_P(Segmentation, CountsTheRetainedWords) {
    EXPECT_EQ(keywordRun(GetParam().text, GetParam().settings).log, logOf(GetParam().log));
}

KeywordSettings withMinBytes(int a, int b, int c, int d, int e, int f) {
    KeywordSettings settings;
    int values[6] = {a, b, c, d, e, f};
    std::copy(values, values + 6, settings.minBytes);
    return settings;
}

KeywordSettings withSwitches(int toDouble, int toUpper, int englishMode) {
    KeywordSettings settings;
    settings.toDouble = toDouble;
    settings.toUpper = toUpper;
    settings.englishMode = englishMode;
    return settings;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Segmentation,
    testing::Values(
        // コーヒー すごーい 時々: ー and 々 continue the run
        SegmentCase{"ProlongedMarkAndRepeater",
                    "\x83\x52\x81\x5b\x83\x71\x81\x5b \x82\xb7\x82\xb2\x81\x5b\x82\xa2 "
                    "\x8e\x9e\x81\x58\n",
                    {},
                    {"1 : \x8e\x9e\x81\x58", "1 : \x83\x52\x81\x5b\x83\x71\x81\x5b",
                     "1 : \x82\xb7\x82\xb2\x81\x5b\x82\xa2"}},
        // 今日は、晴れ。
        SegmentCase{"ClassChangesCutWords",
                    "\x8d\xa1\x93\xfa\x82\xcd\x81\x41\x90\xb0\x82\xea\x81\x42",
                    withMinBytes(0, 0, 4, 0, 0, 0),
                    {"1 : \x90\xb0", "1 : \x8d\xa1\x93\xfa", "1 : \x82\xea", "1 : \x82\xcd"}},
        // ＡＢＣ。 is one word of 8 bytes
        SegmentCase{"FullWidthLettersWithPunctuation",
                    "\x82\x60\x82\x61\x82\x62\x81\x42",
                    {},
                    {"1 : \x82\x60\x82\x61\x82\x62\x81\x42"}},
        SegmentCase{"HalfWidthTerminatorStaysWithWord",
                    "This is a pen.",
                    {},
                    {"1 : pen.", "1 : is", "1 : a", "1 : This"}},
        SegmentCase{"ApostropheJoinsOutsideEnglishMode", "don't,\"x\"\n", {}, {"1 : don't,\"x\""}},
        SegmentCase{"EnglishModeSeparators",
                    "don't,\"x\"\n",
                    withSwitches(0, 0, 1),
                    {"1 : x", "1 : t", "1 : don"}},
        SegmentCase{"ControlBytesEndWords",
                    "ab\tcd\x1f"
                    "ab\n",
                    {},
                    {"2 : ab", "1 : cd"}},
        SegmentCase{"MixedToken",
                    "ABC123 3\x8c\x8e\n",
                    {}, // 3月
                    {"1 : \x8c\x8e", "1 : ABC123", "1 : 3"}},
        SegmentCase{"MinimumIsInclusive",
                    "\x93\xfa\x96\x7b \x93\xfa\n", // 日本 日
                    withMinBytes(0, 0, 0, 0, 0, 4),
                    {"1 : \x93\xfa\x96\x7b"}},
        SegmentCase{"NegativeMinimumRetainsNothing",
                    "\x93\xfa\x96\x7b abc\n",
                    withMinBytes(0, 0, 0, 0, 0, -1),
                    {"1 : abc"}},
        // ｶﾀｶﾅ with the conversion: カタカナ as well
        SegmentCase{"HalfWidthKanaAlsoCountedFullWidth",
                    "\xb6\xc0\xb6\xc5\n",
                    withSwitches(1, 0, 0),
                    {"1 : \xb6\xc0\xb6\xc5", "1 : \x83\x4a\x83\x5e\x83\x4a\x83\x69"}},
        SegmentCase{
            "LowerCaseAlsoCountedUpper", "abc\n", withSwitches(0, 1, 0), {"1 : abc", "1 : ABC"}},
        SegmentCase{"UnchangedConversionCountedOnce",
                    "ABC \xa1\n",
                    withSwitches(1, 1, 0),
                    {"1 : \xa1", "1 : ABC"}},
        SegmentCase{
            "LeadByteWithControlSecondByteIsKanji", "\x88\x09z\n", {}, {"1 : \x88\x09", "1 : z"}},
        SegmentCase{"LongWordKeptWhole",
                    std::string(1023, 'w') + ".",
                    {},
                    {"1 : " + std::string(1023, 'w') + "."}}),
    [](const auto& info) { return std::string(info.param.name); });

struct TallyCase {
    const char* name;
    std::string text;
    std::set<std::string> userWords;
    std::set<std::string> excludedWords;
    std::vector<std::string> log;
};

class Tally : public testing::TestWithParam<TallyCase> {};

TEST_P(Tally, AppliesUserAndExcludedWords) {
    const TallyCase& c = GetParam();
    EXPECT_EQ(keywordRun(c.text, {}, c.userWords, c.excludedWords).log, logOf(c.log));
}

const std::string tokyo = "\x93\x8c\x8b\x9e";        // 東京
const std::string tokyoTo = tokyo + "\x93\x73";      // 東京都
const std::string tokyoTocho = tokyoTo + "\x92\xa1"; // 東京都庁

INSTANTIATE_TEST_SUITE_P(
    Cases, Tally,
    testing::Values(
        TallyCase{"UserWordInsideWord",
                  tokyoTocho + "\n",
                  {tokyo},
                  {},
                  {"1 : " + tokyoTocho, "1 : " + tokyo}},
        TallyCase{"WordEqualToUserWordCountsOnce", tokyo + "\n", {tokyo}, {}, {"1 : " + tokyo}},
        TallyCase{"LongerUserWordFirst",
                  tokyoTocho + "\n",
                  {tokyo, tokyoTo},
                  {},
                  {"1 : " + tokyoTocho, "1 : " + tokyoTo}},
        TallyCase{"OccurrencesWithoutOverlap",
                  "ABXAB AAA\n",
                  {"AB", "AA"},
                  {},
                  {"2 : AB", "1 : ABXAB", "1 : AAA", "1 : AA"}},
        TallyCase{
            "EqualLengthsInDescendingOrder", "ABC\n", {"AB", "BC"}, {}, {"1 : BC", "1 : ABC"}},
        TallyCase{"ExcludedUserWordStillBlanks",
                  tokyoTo + " " + tokyo + "\n",
                  {tokyo},
                  {tokyo},
                  {"1 : " + tokyoTo}},
        TallyCase{"ExcludedWordNeverCounted", "x x y\n", {}, {"x"}, {"1 : y"}},
        // ヂ is 0x83 0x61: the a in it is a second byte, not a letter
        TallyCase{"UserWordOnlyOnCharacterBoundary",
                  "\x83\x61\x83\x61\n",
                  {"a", "\x61\x83"},
                  {},
                  {"1 : \x83\x61\x83\x61"}},
        // A blanked lead byte frees its second byte to start an occurrence.
        TallyCase{"BlankingMovesBoundaries",
                  "\x88\x88\x88\x61\n",
                  {"\x88\x88\x88", "a"},
                  {},
                  {"1 : \x88\x88\x88\x61", "1 : \x88\x88\x88", "1 : a"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Ranking, EqualCountsGreatestWordFirstAndMinimumCountInclusive) {
    KeywordSettings settings;
    settings.minimumCounts = 2;
    std::string text = "ABC ABC ABC " + tokyo + " " + tokyo + " " + tokyo + " b b a a ab ab x\n";
    KeywordOutcome outcome = keywordRun(text, settings);
    EXPECT_EQ(outcome.log, logOf({"3 : " + tokyo, "3 : ABC", "2 : b", "2 : ab", "2 : a"}));
}

TEST(Ranking, RowsStopAtKeywordCountsButTheLogListsEveryWord) {
    std::string text;
    for (char c = 'a'; c <= 'y'; ++c) text += std::string(1, c) + " ";
    for (int rows : {-1, 0, 3, 10, 60}) {
        KeywordSettings settings;
        settings.keywordCounts = rows;
        KeywordOutcome outcome = keywordRun(text + "\n", settings);
        EXPECT_EQ(outcome.rows.size(), static_cast<size_t>(std::clamp(rows, 0, 25))) << rows;
        EXPECT_EQ(std::count(outcome.log.begin(), outcome.log.end(), '\n'), 25) << rows;
    }
}

TEST(Ranking, CountsAreDecimal) {
    std::string text;
    for (int i = 0; i < 12; ++i) text += "w\n";
    KeywordOutcome outcome = keywordRun(text);
    EXPECT_EQ(outcome.log, "12 : w\r\n");
    EXPECT_EQ(outcome.rows, std::vector<std::string>{"12:w"});
}

TEST(Search, WritesEveryMatchingSentenceBetweenTheBanners) {
    // 今日は晴れ。明日は雨。 / 晴れの日, keyword 晴れ
    std::string text = "\x8d\xa1\x93\xfa\x82\xcd\x90\xb0\x82\xea\x81\x42\x96\xbe\x93\xfa\x82\xcd"
                       "\x89\x4a\x81\x42\r\n\x90\xb0\x82\xea\x82\xcc\x93\xfa\r\n";
    SearchOutcome outcome = searchRun(text, "\x90\xb0\x82\xea");
    EXPECT_EQ(outcome.result, ResultOk);
    EXPECT_EQ(outcome.file, searchHeader +
                                "0L : \x8d\xa1\x93\xfa\x82\xcd\x90\xb0\x82\xea\x81\x42\r\n\r\n" +
                                "2L : \x90\xb0\x82\xea\x82\xcc\x93\xfa\r\n\r\n" + searchFooter);
}

TEST(Search, NoHitGivesTheTwoBanners) {
    SearchOutcome outcome = searchRun("abc\n", "zzz");
    EXPECT_EQ(outcome.file, searchHeader + searchFooter);
    EXPECT_EQ(outcome.file.size(), 45u + 43u);
}

struct MatchCase {
    const char* name;
    std::string sentence;
    std::string keyword;
    int toDouble;
    int toUpper;
    bool hit;
};

class Match : public testing::TestWithParam<MatchCase> {};

TEST_P(Match, TestsTheSentence) {
    const MatchCase& c = GetParam();
    std::vector<std::string> hits =
        hitsOf(searchRun(c.sentence + "\n", c.keyword, c.toDouble, c.toUpper));
    ASSERT_EQ(hits.size(), c.hit ? 1u : 0u);
    if (c.hit) {
        EXPECT_EQ(hits[0], "1L : " + c.sentence); // printed as read, never converted
    }
}

const std::string guide = "\x83\x4b\x83\x43\x83\x68"; // ガイド
const std::string halfGuide = "\xb6\xde\xb2\xc4\xde"; // ｶﾞｲﾄﾞ

INSTANTIATE_TEST_SUITE_P(
    Cases, Match,
    testing::Values(MatchCase{"Plain", "xabcx", "abc", 0, 0, true},
                    MatchCase{"CaseMatters", "ABC", "abc", 0, 0, false},
                    MatchCase{"UpperFolds", "aBc", "abc", 0, 1, true},
                    MatchCase{"KanaWidthMatters", halfGuide, guide, 0, 0, false},
                    MatchCase{"FullWidthFindsHalfWidth", halfGuide, guide, 1, 0, true},
                    MatchCase{"HalfWidthFindsFullWidth", guide, halfGuide, 1, 0, true},
                    MatchCase{"SecondByteIsNoLetter", "\x83\x61", "a", 0, 0, false}, // ヂ
                    MatchCase{"SecondByteNotUpperCased", "\x83\x61", "A", 0, 1, false},
                    MatchCase{"TagsNeverMatch", "<b>x</b>", "b", 0, 0, false},
                    MatchCase{"SeveralOccurrencesOneLine", "abab", "ab", 0, 0, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Failures, TargetThatCannotBeOpenedLeavesTheHeaderOnly) {
    TemporaryFolder folder;
    std::string resultPath = folder.file("result.txt");
    {
        KeywordEngine engine(resultPath.c_str(), "x", 0, 0);
        engine.writeSearchHeader();
        EXPECT_EQ(engine.run(folder.file("missing.txt").c_str()), ResultSearchError);
        engine.writeSearchFooter();
    }
    EXPECT_EQ(readBytes(resultPath), searchHeader);
}

TEST(Failures, TargetThatIsAFolderIsUnreadable) {
    TemporaryFolder folder;
    std::string logPath = folder.file("keyword.log");
    KeywordEngine engine(logPath.c_str(), 0, 0, 0, 0, 0, 0, 0, 10, 0, 0, 0);
    EXPECT_EQ(engine.run(folder.path.string().c_str()), ResultSearchError);
}

TEST(Failures, OutputThatCannotBeOpenedIsAnIoError) {
    TemporaryFolder folder;
    writeBytes(folder.file("target.txt"), "abc\n");
    std::string blocked = folder.file("no-such-folder/keyword.log");
    KeywordEngine keywords(blocked.c_str(), 0, 0, 0, 0, 0, 0, 0, 10, 0, 0, 0);
    EXPECT_EQ(keywords.run(folder.file("target.txt").c_str()), ResultIoError);
    EXPECT_TRUE(keywords.topWords[0].empty());
    KeywordEngine search(blocked.c_str(), "a", 0, 0);
    search.writeSearchHeader();
    EXPECT_EQ(search.run(folder.file("missing.txt").c_str()), ResultIoError);
}

#ifndef _WIN32
TEST(Failures, OutputWriteFailureIsAnIoError) {
    TemporaryFolder folder;
    writeBytes(folder.file("target.txt"), "abc def\n");
    KeywordEngine engine("/dev/full", 0, 0, 0, 0, 0, 0, 0, 10, 0, 0, 0);
    EXPECT_EQ(engine.run(folder.file("target.txt").c_str()), ResultIoError);
}
#endif

} // namespace
