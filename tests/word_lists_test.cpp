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
    WordSet words;
    ASSERT_TRUE(loadWordList(folder.file("list.lst").c_str(), words));
    EXPECT_EQ(words, GetParam().words);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadWordList,
    testing::Values(LoadCase{"Empty", "", {}},
                    LoadCase{"DuplicatesAndEmptyLines", "b\r\na\r\na\r\n\r\n", {"a", "b"}},
                    LoadCase{"SpacesKept", " x y \r\n", {" x y "}},
                    LoadCase{"LastLineWithoutBreak", "a\nb", {"a", "b"}},
                    LoadCase{"CrDroppedAnywhere", "a\rb\r\r\n\r\n", {"ab"}},
                    LoadCase{"CtrlZEndsTheData",
                             "a\nb\x1a"
                             "c\nd\n",
                             {"a", "b"}},
                    LoadCase{"NulEndsTheWord", std::string("ab\0cd\n\0x\ny", 10), {"ab", "y"}},
                    LoadCase{"ShiftJisUnchanged",
                             "\x93\x8c\x8b\x9e\r\n\xb6\xc0\r\n", // 東京 ｶﾀ
                             {"\x93\x8c\x8b\x9e", "\xb6\xc0"}},
                    LoadCase{"LongLinesStayWhole",
                             std::string(1023, 'a') + "\n" + std::string(3000, 'b') + "\nc",
                             {std::string(1023, 'a'), std::string(3000, 'b'), "c"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoadWordList, MissingOrUnreadableFileFails) {
    TemporaryFolder folder;
    WordSet words;
    EXPECT_FALSE(loadWordList(folder.file("missing.lst").c_str(), words));
    EXPECT_FALSE(loadWordList(folder.path.string().c_str(), words));
}

TEST(SaveWordList, WritesSortedWordsWithCrLf) {
    TemporaryFolder folder;
    std::string path = folder.file("list.lst");
    writeBytes(path, "old contents that are longer than the new ones\r\n");
    ASSERT_TRUE(saveWordList(path.c_str(), {"b", "a", "\x93\x8c", "ab"}));
    EXPECT_EQ(readBytes(path), "a\r\nab\r\nb\r\n\x93\x8c\r\n");
    ASSERT_TRUE(saveWordList(path.c_str(), {}));
    EXPECT_EQ(readBytes(path), "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path), {}), 1);
}

TEST(SaveWordList, RoundTrip) {
    TemporaryFolder folder;
    std::string path = folder.file("list.lst");
    WordSet words = {" x ", "\x82\xa0", std::string(2000, 'z')};
    ASSERT_TRUE(saveWordList(path.c_str(), words));
    WordSet loaded;
    ASSERT_TRUE(loadWordList(path.c_str(), loaded));
    EXPECT_EQ(loaded, words);
}

// The list is replaced only once the new one is complete: when it cannot be written, the old
// file stays exactly as it was.
TEST(SaveWordList, FailureLeavesTheOldListIntact) {
    TemporaryFolder folder;
    std::string path = folder.file("list.lst");
    writeBytes(path, "old\r\n");
    std::filesystem::create_directory(path + ".tmp"); // the temporary file cannot be created
    EXPECT_FALSE(saveWordList(path.c_str(), {"new"}));
    EXPECT_EQ(readBytes(path), "old\r\n");

    std::filesystem::remove(path + ".tmp");
    std::string inMissingFolder = folder.file("missing/list.lst");
    EXPECT_FALSE(saveWordList(inMissingFolder.c_str(), {"new"}));
}

} // namespace
