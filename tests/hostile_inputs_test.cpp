// Targets that users point the engine at by mistake or malice: binaries, other encodings,
// endless lines, folders, unreadable files, very long paths. Every run must end with its code and
// with exactly the files that code leaves.

#include "keyword_engine.h"
#include "search_banners.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fcntl.h>
#include <string>
#include <type_traits>
#include <unistd.h>
#include <vector>

namespace {

// Every byte value from `first` to `last`, in order.
std::string byteRange(int first, int last) {
    std::string bytes;
    for (int b = first; b <= last; ++b) bytes.push_back(static_cast<char>(b));
    return bytes;
}

std::string repeated(const std::string& text, size_t times) {
    std::string all;
    all.reserve(text.size() * times);
    for (size_t i = 0; i < times; ++i) all += text;
    return all;
}

struct KeywordOutcome {
    RunResult result;
    std::int64_t lines;
    std::string log;
    std::vector<std::string> rows; // "count : word" for every filled top entry, as in the log
};

// A keyword run that retains every word and fills all 50 rows.
KeywordOutcome keywordRunOn(const std::string& targetPath) {
    TemporaryFolder folder;
    std::string logPath = folder.file("keyword.log");
    KeywordOutcome outcome;
    {
        KeywordEngine engine(logPath.c_str(), 0, 0, 0, 0, 0, 0, 0, 50, 0, 0, 0);
        outcome.result = engine.run(targetPath.c_str());
        outcome.lines = engine.lines();
        for (int i = 0; i < KeywordEngine::maxTopWords; ++i)
            if (!engine.topWords[i].empty())
                outcome.rows.push_back(std::to_string(engine.topCounts[i]) + " : " +
                                       engine.topWords[i]);
    }
    outcome.log = readBytes(logPath);
    return outcome;
}

struct SearchOutcome {
    RunResult result;
    std::int64_t lines;
    std::string file;
};

// A search run as the window makes it: banner, run, banner.
SearchOutcome searchRunOn(const std::string& targetPath, const std::string& keyword) {
    TemporaryFolder folder;
    std::string resultPath = folder.file("result.txt");
    SearchOutcome outcome;
    {
        KeywordEngine engine(resultPath.c_str(), keyword.c_str(), 0, 0);
        engine.writeSearchHeader();
        outcome.result = engine.run(targetPath.c_str());
        engine.writeSearchFooter();
        outcome.lines = engine.lines();
    }
    outcome.file = readBytes(resultPath);
    return outcome;
}

std::string logOf(const std::vector<std::string>& lines) {
    std::string log;
    for (const std::string& line : lines) log += line + "\r\n";
    return log;
}

// result.txt of a search run: a stopped run has closed the file before the closing banner.
std::string resultFileOf(const std::vector<std::string>& hits, RunResult result) {
    std::string file = searchHeader;
    for (const std::string& hit : hits) file += hit + "\r\n\r\n";
    return result == ResultOk ? file + searchFooter : file;
}

struct HostileCase {
    const char* name;
    std::string text;
    RunResult result;
    std::int64_t lines;
    std::vector<std::string> log; // of a keyword run that retains every word
    std::string keyword;
    std::vector<std::string> hits; // of a search run for the keyword
};

class HostileTarget : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileTarget, RunsEndWithTheirCodeAndFiles) {
    const HostileCase& expected = GetParam();
    TemporaryFolder folder;
    std::string target = folder.file("target");
    writeBytes(target, expected.text);

    KeywordOutcome keywords = keywordRunOn(target);
    EXPECT_EQ(keywords.result, expected.result);
    EXPECT_EQ(keywords.lines, expected.lines);
    EXPECT_EQ(keywords.log, logOf(expected.log));
    EXPECT_EQ(keywords.rows, expected.log);

    SearchOutcome search = searchRunOn(target, expected.keyword);
    EXPECT_EQ(search.result, expected.result);
    EXPECT_EQ(search.lines, expected.lines);
    EXPECT_EQ(search.file, resultFileOf(expected.hits, expected.result));
}

// Every byte value in order, 64 times. Per round: 0x00 is skipped; LF (after 0x09) and CR are two
// line breaks; ! . ? end sentences; <=> is a tag; lead bytes pair up 0x81 0x82 to 0x9F 0xA0 and
// 0xE0 0xE1 to 0xEE 0xEF. The sentence after ? runs into the next round up to its LF, and the
// last one, at the end of the file, counts as one more line.
HostileCase everyByteValue() {
    constexpr int rounds = 64;
    std::vector<std::string> words = {
        byteRange(0xF0, 0xFF), // half-width katakana class
        byteRange(0xE0, 0xEF), // kanji class
        byteRange(0xA1, 0xDF), // half-width katakana class
        byteRange(0x89, 0xA0), // kanji class
        byteRange(0x85, 0x88), // full-width symbols
        "\x83\x84",            // katakana
        "\x81\x82",            // full-width symbols
        byteRange(0x40, 0x80), // half-width letters and symbols
        "/0123456789:;?",      // <=> stripped
        byteRange(0x22, 0x2E),
        "!",
    };
    std::vector<std::string> log;
    for (const std::string& word : words) log.push_back(std::to_string(rounds) + " : " + word);
    std::vector<std::string> hits;
    for (int round = 1; round < rounds; ++round)
        hits.push_back(std::to_string(2 * round + 1) + "L : " + byteRange(0x40, 0xFF) +
                       byteRange(0x01, 0x09));
    hits.push_back(std::to_string(2 * rounds + 1) + "L : " + byteRange(0x40, 0xFF));
    return {"EveryByteValue",
            repeated(byteRange(0x00, 0xFF), rounds),
            ResultOk,
            2 * rounds + 1,
            log,
            "ABC",
            hits};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileTarget,
    testing::Values(
        HostileCase{"Empty", "", ResultOk, 0, {}, "", {}},
        HostileCase{"OnlyZeroBytes", std::string(300 * 1024, '\0'), ResultOk, 0, {}, "", {}},
        everyByteValue(),
        // BOM, 東京 CR LF abc CR LF in UTF-16LE: the zero bytes are skipped, the rest are
        // half-width characters.
        HostileCase{"Utf16LittleEndianWithBom",
                    std::string("\xFF\xFE\x71\x67\xAC\x4E\r\0\n\0a\0b\0c\0\r\0\n\0", 20),
                    ResultOk,
                    2,
                    {"1 : \xFF\xFE", "1 : \xAC", "1 : qg", "1 : abc", "1 : N"},
                    "qg",
                    {"1L : \xFF\xFEqg\xACN"}},
        // BOM, 東京。 CR LF in UTF-8: EF E6 E4 E3 are lead bytes, and the 0x82 that ends 。 stands
        // alone before CR and joins the kanji before it.
        HostileCase{"Utf8WithBom",
                    "\xEF\xBB\xBF\xE6\x9D\xB1\xE4\xBA\xAC\xE3\x80\x82\r\n",
                    ResultOk,
                    1,
                    {"1 : \xEF\xBB", "1 : \xE6\x9D", "1 : \xE4\xBA", "1 : \xE3\x80\x82", "1 : \xBF",
                     "1 : \xB1", "1 : \xAC"},
                    "",
                    {"1L : \xEF\xBB\xBF\xE6\x9D\xB1\xE4\xBA\xAC\xE3\x80\x82"}},
        // 360 KB of sentences on one line, across a block boundary; the last space is a line.
        HostileCase{
            "NoLineBreakAtAll", repeated("word. ", 60000), ResultOk, 1, {"60000 : word."}, "x", {}},
        HostileCase{"MegabyteLine",
                    std::string(1024 * 1024, 'a') + "\r\n",
                    ResultBufferOverflow,
                    0,
                    {},
                    "a",
                    {}},
        HostileCase{"MegabyteLineOfShortSentences",
                    repeated("ab. ", 256 * 1024) + "\r\n",
                    ResultOk,
                    1,
                    {"262144 : ab."},
                    "x",
                    {}},
        // 0x81 0x81 is one full-width symbol; the odd last lead byte joins the run alone.
        HostileCase{"OnlyLeadBytesJustBelowTheLimit",
                    std::string(1023, '\x81'),
                    ResultOk,
                    1,
                    {"1 : " + std::string(1023, '\x81')},
                    "",
                    {"1L : " + std::string(1023, '\x81')}},
        HostileCase{"OnlyLeadBytesAtTheLimit",
                    std::string(1024, '\x81'),
                    ResultBufferOverflow,
                    0,
                    {},
                    "",
                    {}}),
    [](const auto& info) { return std::string(info.param.name); });

// An executable's bytes cannot be foreseen, but both kinds of run read them alike and stop or
// finish at the same place; a stopped keyword run ranks nothing, a finished one shows the first
// lines of its log in the rows.
TEST(HostileTarget, TheTestProgramItself) {
    const std::string self = "/proc/self/exe";
    KeywordOutcome keywords = keywordRunOn(self);
    SearchOutcome search = searchRunOn(self, "ELF");
    ASSERT_TRUE(keywords.result == ResultOk || keywords.result == ResultBufferOverflow);
    EXPECT_EQ(search.result, keywords.result);
    EXPECT_EQ(search.lines, keywords.lines);
    std::string rows = logOf(keywords.rows);
    EXPECT_EQ(keywords.log.substr(0, rows.size()), rows);
    if (keywords.result == ResultBufferOverflow) {
        EXPECT_EQ(keywords.log, "");
    }
}

struct UnreadableCase {
    const char* name;
    std::string (*makeTarget)(const TemporaryFolder& folder); // empty when not possible here
};

class UnreadableTarget : public testing::TestWithParam<UnreadableCase> {};

// Nothing is read: the keyword log stays empty and result.txt keeps its opening banner only.
TEST_P(UnreadableTarget, GivesCode2AndNothingElse) {
    TemporaryFolder folder;
    std::string target = GetParam().makeTarget(folder);
    if (target.empty()) GTEST_SKIP() << "not possible here";

    KeywordOutcome keywords = keywordRunOn(target);
    EXPECT_EQ(keywords.result, ResultSearchError);
    EXPECT_EQ(keywords.lines, 0);
    EXPECT_EQ(keywords.log, "");
    EXPECT_TRUE(keywords.rows.empty());

    SearchOutcome search = searchRunOn(target, "");
    EXPECT_EQ(search.result, ResultSearchError);
    EXPECT_EQ(search.file, searchHeader);
}

// A file without read permission, where permissions hold (not for root).
std::string fileWithoutReadPermission(const TemporaryFolder& folder) {
    std::string path = folder.file("locked.txt");
    writeBytes(path, "abc\n");
    std::filesystem::permissions(path, std::filesystem::perms::none);
    int probe = open(path.c_str(), O_RDONLY);
    if (probe < 0) return path;
    close(probe);
    return "";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnreadableTarget,
    testing::Values(
        UnreadableCase{"Folder",
                       [](const TemporaryFolder& folder) { return folder.path.string(); }},
        UnreadableCase{"Vanished",
                       [](const TemporaryFolder& folder) { return folder.file("gone.txt"); }},
        // Opens, but reading from its start fails: nothing is mapped at address 0.
        UnreadableCase{"ReadFails",
                       [](const TemporaryFolder&) { return std::string("/proc/self/mem"); }},
        UnreadableCase{"NoReadPermission", fileWithoutReadPermission}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HostileTarget, PathOf1023Bytes) {
    TemporaryFolder folder;
    std::string path = folder.path.string();
    while (path.size() + 1 + 255 < 1023) path += "/" + std::string(200, 'd');
    std::filesystem::create_directories(path);
    path += "/" + std::string(1023 - path.size() - 1, 'f');
    ASSERT_EQ(path.size(), 1023u);
    writeBytes(path, "abc\r\n");

    EXPECT_EQ(keywordRunOn(path).log, "1 : abc\r\n");
    EXPECT_EQ(searchRunOn(path, "b").file, resultFileOf({"1L : abc"}, ResultOk));
}

// A file with 2^31 line breaks or occurrences is far too slow to count in a test; what keeps
// such counts right is that every count of the engine is 64 bits wide, down to the word table's.
TEST(Counts, DoNotWrapPast32Bits) {
    static_assert(std::is_same_v<decltype(std::declval<KeywordEngine>().lines()), std::int64_t>);
    static_assert(
        std::is_same_v<std::remove_extent_t<decltype(KeywordEngine::topCounts)>, std::int64_t>);
    WordTable counts;
    counts.add("w", INT32_MAX);
    counts.add("w", 1);
    EXPECT_EQ(counts.countOf("w"), std::int64_t{1} << 31);
    counts.add("w", INT32_MAX);
    counts.add("w", 1);
    EXPECT_EQ(counts.countOf("w"), std::int64_t{1} << 32);
}

} // namespace
