#include "test_files.h"
#include "word_lists.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace std::string_literals;

struct LoadCase {
    const char* name;
    std::string file;
    WordSet words;
};

class LoadWordList : public testing::TestWithParam<LoadCase> {};

TEST_P(LoadWordList, ReadsOneWordPerLine) {
    TemporaryFolder folder;
    writeBytes(folder.file("list.lst"), GetParam().file);
    WordList list;
    ASSERT_TRUE(loadWordList(folder.file("list.lst").c_str(), list));
    EXPECT_EQ(list.words, GetParam().words);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadWordList,
    testing::Values(LoadCase{"DuplicatesEmptyLinesAndLastLineWithoutBreak",
                             "b\r\na\r\na\r\n\r\n c \nd",
                             {"a", "b", " c ", "d"}},
                    LoadCase{"CrDroppedAnywhere", "a\rb\r\r\n\r\n", {"ab"}},
                    LoadCase{"CtrlZEndsTheDataAndNulTheWord",
                             std::string("ab\0cd\nx\x1a"
                                         "c\nd\n",
                                         12),
                             {"ab", "x"}},
                    LoadCase{"LongLinesStayWhole",
                             std::string(1023, 'a') + "\n" + std::string(3000, 'b') + "\nc",
                             {std::string(1023, 'a'), std::string(3000, 'b'), "c"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoadWordList, MissingOrUnreadableFileFails) {
    TemporaryFolder folder;
    WordList list;
    EXPECT_FALSE(loadWordList(folder.file("missing.lst").c_str(), list));
    EXPECT_FALSE(loadWordList(folder.path.string().c_str(), list));
}

TEST(SaveWordList, WritesSortedWordsWithCrLf) {
    TemporaryFolder folder;
    std::string path = folder.file("list.lst");
    writeBytes(path, "old contents that are longer than the new ones\r\n");
    ASSERT_TRUE(
        saveWordList(path.c_str(), {TextEncoding::ShiftJis, "", {"b", "a", "\x93\x8c", "ab"}, {}}));
    EXPECT_EQ(readBytes(path), "a\r\nab\r\nb\r\n\x93\x8c\r\n");
    ASSERT_TRUE(saveWordList(path.c_str(), {}));
    EXPECT_EQ(readBytes(path), "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path), {}), 1);
}

// A list keeps its encoding, its mark and its words as read, and takes registered words (here
// 京 and 〜 in code page 932) in its encoding unless their code page 932 form is there already.
struct SaveCase {
    const char* name;
    std::string file;
    WordSet words; // in code page 932
    std::string saved;
};

class SaveWordList : public testing::TestWithParam<SaveCase> {};

TEST_P(SaveWordList, GivesBackEveryWordInTheListsEncoding) {
    TemporaryFolder folder;
    std::string path = folder.file("list.lst");
    writeBytes(path, GetParam().file);
    WordList list;
    ASSERT_TRUE(loadWordList(path.c_str(), list));
    EXPECT_EQ(list.words, GetParam().words);
    for (const char* word : {"\x8b\x9e", "\x81\x60"}) addWord(list, word);
    ASSERT_TRUE(saveWordList(path.c_str(), list));
    EXPECT_EQ(readBytes(path), GetParam().saved);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveWordList,
    testing::Values(
        SaveCase{"ShiftJis", "b\n", {"b"}, "b\r\n\x81\x60\r\n\x8b\x9e\r\n"},
        SaveCase{"Utf8MarkAndWordsWithoutShiftJisForm",
                 "\xEF\xBB\xBF\xF0\x9F\x98\x80\ncaf\xC3\xA9",
                 {"\x81\xAC", "caf\x81\xAC"},
                 "\xEF\xBB\xBF"
                 "caf\xC3\xA9\r\n\xE4\xBA\xAC\r\n\xEF\xBD\x9E\r\n\xF0\x9F\x98\x80\r\n"},
        SaveCase{"Utf8TwoWordsOfOneForm",
                 "\xEF\xBD\x9E\r\n\xE3\x80\x9C\r\n",
                 {"\x81\x60"},
                 "\xE3\x80\x9C\r\n\xE4\xBA\xAC\r\n\xEF\xBD\x9E\r\n"},
        // 上 is 0A 4E, 不 0D 4E and 一 00 4E: only whole units end lines, data and words.
        SaveCase{"Utf16LeUnitsNotBytes",
                 "\xFF\xFE\x0A\x4E\x0D\x4E\r\0\n\0\x00\x4E"
                 "a\0\0\0b\0\n\0\x1A\0z\0"s,
                 {"\x88\xEA"
                  "a",
                  "\x8F\xE3\x95\x73"},
                 "\xFF\xFE\x00\x4E"
                 "a\0\r\0\n\0\x0A\x4E\x0D\x4E\r\0\n\0\x5E\xFF\r\0\n\0\xAC\x4E\r\0\n\0"s},
        SaveCase{"Utf16BeOddLastByteDropped",
                 "\xFE\xFF\x4E\xAC\0x\x4E"s,
                 {"\x8b\x9e"
                  "x"},
                 "\xFE\xFF\x4E\xAC\0\r\0\n\x4E\xAC\0x\0\r\0\n\xFF\x5E\0\r\0\n"s}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
