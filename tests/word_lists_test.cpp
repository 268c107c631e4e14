#include "test_files.h"
#include "word_lists.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(LoadWordList, MissingOrUnreadableFileFails) {
    TemporaryFolder folder;
    WordList list;
    EXPECT_FALSE(loadWordList(folder.file("missing.lst").c_str(), list));
    EXPECT_FALSE(loadWordList(folder.path.string().c_str(), list));
}

// Each list of tests/word_lists is read, given 京, ～ and 🍣ก as typed in the window, and saved as
// its .saved file; an empty list saves as an empty file. Each save replaces the file.
TEST(SaveWordList, KeepsTheEncodingAndEveryWordAsRead) {
    TemporaryFolder folder;
    const std::string path = folder.file("list.lst");
    for (const auto& entry : std::filesystem::directory_iterator(TALLYON_WORD_LISTS)) {
        std::filesystem::path saved = entry.path();
        if (saved.extension() != ".lst") continue;
        WordList list;
        ASSERT_TRUE(loadWordList(saved.string().c_str(), list));
        for (const char* word : {u8"京", u8"～"}) EXPECT_TRUE(addWord(list, word));
        EXPECT_EQ(addWord(list, u8"🍣ก"), list.encoding != TextEncoding::ShiftJis) << saved;
        ASSERT_TRUE(saveWordList(path.c_str(), list));
        EXPECT_EQ(readBytes(path), readBytes(saved.replace_extension(".saved").string())) << saved;
    }
    ASSERT_TRUE(saveWordList(path.c_str(), {}));
    EXPECT_EQ(readBytes(path), "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path), {}), 1);
}

} // namespace
