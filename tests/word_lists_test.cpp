#include "test_files.h"
#include "word_lists.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

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

// Each list of tests/word_lists, given 京 and 〜 in code page 932 as the window registers them,
// must save as its .saved file.
TEST(SaveWordList, KeepsTheEncodingAndEveryWordAsRead) {
    TemporaryFolder folder;
    for (const auto& entry : std::filesystem::directory_iterator(TALLYON_WORD_LISTS)) {
        std::filesystem::path saved = entry.path();
        if (saved.extension() != ".lst") continue;
        WordList list;
        ASSERT_TRUE(loadWordList(saved.string().c_str(), list));
        for (const char* word : {"\x8b\x9e", "\x81\x60"}) addWord(list, word);
        ASSERT_TRUE(saveWordList(folder.file("list.lst").c_str(), list));
        EXPECT_EQ(readBytes(folder.file("list.lst")),
                  readBytes(saved.replace_extension(".saved").string()))
            << saved;
    }
}

} // namespace
