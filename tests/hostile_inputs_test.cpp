// Targets that users point the engine at by mistake or malice: endless lines, files of nothing,
// folders, unreadable files, very long paths. Every run must end with its code and with exactly
// the files that code leaves. Arbitrary bytes and sentences near the limit are compared with the
// reference engine in differential_test.cpp.

#include "keyword_engine.h"
#include "search_banners.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

std::string codeOf(RunResult result) {
    return "code " + std::to_string(static_cast<int>(result)) + "\n";
}

// A keyword run that retains every word and a search run as the window makes it (banner, run,
// banner) over one target, as one text: each run's code and line count, then both files.
std::string runsOn(const std::string& target, const std::string& keyword) {
    TemporaryFolder folder;
    const std::string log = folder.file("keyword.log"), result = folder.file("result.txt");
    std::string outcome;
    KeywordRunOptions options;
    options.rows = 50;
    std::vector<RankingRow> rows;
    outcome += codeOf(run(target.c_str(), log.c_str(), options, rows));
    outcome += codeOf(run(target.c_str(), result.c_str(), SearchRunOptions{keyword}));
    return outcome + "keyword.log:\n" + readBytes(log) + "result.txt:\n" + readBytes(result);
}

// What runsOn gives when both runs end with `result`; a stopped search run has closed result.txt
// before the closing banner.
std::string outcomeOf(RunResult result, std::int64_t, const Strings& log, const Strings& hits) {
    std::string logText, file = searchHeader;
    for (const std::string& line : log) logText += line + "\r\n";
    for (const std::string& hit : hits) file += hit + "\r\n\r\n";
    if (result == RunResult::Done) file += searchFooter;
    return codeOf(result) + codeOf(result) + "keyword.log:\n" + logText + "result.txt:\n" + file;
}

std::string repeated(const std::string& text, size_t times) {
    std::string all;
    for (size_t i = 0; i < times; ++i) all += text;
    return all;
}

struct HostileCase {
    const char* name;
    std::string text, keyword;
    RunResult result;
    std::int64_t lines;
    Strings log, hits;
};

class HostileTarget : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileTarget, RunsEndWithTheirCodeAndFiles) {
    const HostileCase& c = GetParam();
    TemporaryFolder folder;
    writeBytes(folder.file("target"), c.text);
    EXPECT_EQ(runsOn(folder.file("target"), c.keyword),
              outcomeOf(c.result, c.lines, c.log, c.hits));
}

const std::string leadBytes1023(1023, '\x81');

// Files of several of the engine's 256 KiB blocks; 0x81 0x81 is one full-width symbol and the odd
// last lead byte joins the run alone.
INSTANTIATE_TEST_SUITE_P(
    Cases, HostileTarget,
    testing::Values(
        HostileCase{"Empty", "", "", RunResult::Done, 0, {}, {}},
        HostileCase{"OnlyZeroBytes", std::string(600 * 1024, '\0'), "", RunResult::Done, 0, {}, {}},
        HostileCase{"MegabyteOfSentencesWithoutLineBreak",
                    repeated("ab. ", 256 * 1024),
                    "x",
                    RunResult::Done,
                    1,
                    {"262144 : ab."},
                    {}},
        HostileCase{"MegabyteLine",
                    std::string(1024 * 1024, 'a') + "\r\n",
                    "a",
                    RunResult::SentenceTooLong,
                    0,
                    {},
                    {}},
        HostileCase{"OnlyLeadBytesJustBelowTheLimit",
                    leadBytes1023,
                    "",
                    RunResult::Done,
                    1,
                    {"1 : " + leadBytes1023},
                    {"1L : " + leadBytes1023}},
        HostileCase{"OnlyLeadBytesAtTheLimit",
                    leadBytes1023 + '\x81',
                    "",
                    RunResult::SentenceTooLong,
                    0,
                    {},
                    {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Nothing is read: the keyword log stays empty and result.txt keeps its opening banner only.
TEST(HostileTarget, UnreadableTargetsGiveCode2AndNothingElse) {
    TemporaryFolder folder;
    const std::string locked = folder.file("locked.txt");
    writeBytes(locked, "abc\n");
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    const int probe = open(locked.c_str(), O_RDONLY); // permissions do not stop root
    if (probe >= 0) close(probe);

    // A folder, a file that is gone, one that opens but fails to read from its start (nothing is
    // mapped at address 0), one without read permission.
    for (const std::string& target : {folder.path.string(), folder.file("gone.txt"),
                                      std::string("/proc/self/mem"), probe < 0 ? locked : ""}) {
        if (!target.empty()) {
            EXPECT_EQ(runsOn(target, ""), outcomeOf(RunResult::TargetUnreadable, 0, {}, {}))
                << target;
        }
    }
}

TEST(HostileTarget, PathOf1023Bytes) {
    TemporaryFolder folder;
    std::string path = folder.path.string();
    while (path.size() + 1 + 255 < 1023) path += "/" + std::string(200, 'd');
    std::filesystem::create_directories(path);
    path += "/" + std::string(1023 - path.size() - 1, 'f');
    ASSERT_EQ(path.size(), 1023u);
    writeBytes(path, "abc\r\n");
    EXPECT_EQ(runsOn(path, "b"), outcomeOf(RunResult::Done, 1, {"1 : abc"}, {"1L : abc"}));
}

} // namespace
