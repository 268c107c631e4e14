#include "settings.h"
#include "startup.h"
#include "test_files.h"
#include "test_window.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

const std::string defaultFile = "[MinimumBytes]\r\n"
                                "HANKAKUEISUKIGO = 0\r\n"
                                "HANKAKUKATAKANA = 0\r\n"
                                "ZENKAKUEISUKIGO = 0\r\n"
                                "ZENKAKUHIRAGANA = 0\r\n"
                                "ZENKAKUKATAKANA = 0\r\n"
                                "ZENKAKUKANJI = 0\r\n"
                                "[Convert]\r\n"
                                "TODOUBLE = 0\r\n"
                                "TOUPPER = 0\r\n"
                                "[MinimumCounts]\r\n"
                                "MINIMUMCOUNTS = 0\r\n"
                                "[KeywordCounts]\r\n"
                                "KEYWORDCOUNTS = 10\r\n";

class SettingsFile : public testing::Test {
  protected:
    void SetUp() override {
        std::snprintf(iniPath, pathSize, "%s", folder.file("init.ini").c_str());
        appSettings = {};
    }

    TemporaryFolder folder;
};

TEST_F(SettingsFile, WithoutAFileTheDefaultsAreLoadedAndSavedInFull) {
    loadSettings();
    EXPECT_EQ(appSettings, (AppSettings{{0, 0, 0, 0, 0, 0}, 0, 10, 0, 0}));
    saveSettings();
    EXPECT_EQ(readBytes(iniPath), defaultFile);
}

TEST_F(SettingsFile, EveryValueIsSavedUnderItsOwnKey) {
    appSettings = {{1, 2, 3, 4, 5, 6}, 7, 8, 9, -10};
    saveSettings();
    EXPECT_EQ(
        readBytes(iniPath),
        "[MinimumBytes]\r\nHANKAKUEISUKIGO = 1\r\nHANKAKUKATAKANA = 2\r\nZENKAKUEISUKIGO = 3\r\n"
        "ZENKAKUHIRAGANA = 4\r\nZENKAKUKATAKANA = 5\r\nZENKAKUKANJI = 6\r\n[Convert]\r\n"
        "TODOUBLE = 9\r\nTOUPPER = -10\r\n[MinimumCounts]\r\nMINIMUMCOUNTS = 7\r\n"
        "[KeywordCounts]\r\nKEYWORDCOUNTS = 8\r\n");
    appSettings = {};
    loadSettings();
    EXPECT_EQ(appSettings, (AppSettings{{1, 2, 3, 4, 5, 6}, 7, 8, 9, -10}));
}

TEST_F(SettingsFile, ValuesAreTakenAsWrittenExceptTooManyRows) {
    struct Case {
        std::string file;
        AppSettings loaded;
        std::string savedLine;
    };
    const Case cases[] = {
        {"[KeywordCounts]\r\nKEYWORDCOUNTS = 80\r\n", {{}, 0, 50, 0, 0}, "KEYWORDCOUNTS = 50"},
        {"[KeywordCounts]\r\nKEYWORDCOUNTS = 51\r\n", {{}, 0, 50, 0, 0}, "KEYWORDCOUNTS = 50"},
        {"[KeywordCounts]\r\nKEYWORDCOUNTS = 50\r\n", {{}, 0, 50, 0, 0}, "KEYWORDCOUNTS = 50"},
        {"[KeywordCounts]\r\nKEYWORDCOUNTS = 0\r\n", {{}, 0, 0, 0, 0}, "KEYWORDCOUNTS = 0"},
        {"[KeywordCounts]\r\nKEYWORDCOUNTS = -7\r\n", {{}, 0, -7, 0, 0}, "KEYWORDCOUNTS = -7"},
        {"[Convert]\r\nTODOUBLE = 2\r\nTOUPPER=1\r\n",
         {{}, 0, 10, 2, 1},
         "TODOUBLE = 2\r\nTOUPPER = 1"},
        {"[MinimumBytes]\r\nZENKAKUKANJI = 5\r\nHANKAKUEISUKIGO=12345\r\n",
         {{12345, 0, 0, 0, 0, 5}, 0, 10, 0, 0},
         "ZENKAKUKANJI = 5"},
        {"[MinimumCounts]\r\nMINIMUMCOUNTS = 3x\r\n", {{}, 3, 10, 0, 0}, "MINIMUMCOUNTS = 3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        writeBytes(iniPath, c.file);
        appSettings = {};
        loadSettings();
        EXPECT_EQ(appSettings, c.loaded);
        saveSettings();
        EXPECT_NE(readBytes(iniPath).find(c.savedLine + "\r\n"), std::string::npos)
            << readBytes(iniPath);
    }
}

TEST_F(SettingsFile, SavingReplacesOnlyTheFourSections) {
    writeBytes(iniPath, "; kept comment\r\n"
                        "[Window]\r\n"
                        "LEFT=3\r\n"
                        "[convert]\r\n"
                        "; dropped comment\r\n"
                        "TODOUBLE = 1\r\n"
                        "UNKNOWN = 9\r\n"
                        "\r\n"
                        "[Other]\n"
                        "TOUPPER = 1\n"
                        "[KeywordCounts]\r\n"
                        "KEYWORDCOUNTS = 7\r\n"
                        "EXTRA = 1\r\n"
                        "[Convert]\r\n"
                        "TOUPPER = 1\r\n"
                        "[Last]\r\n"
                        "X = y");
    loadSettings();
    saveSettings();
    EXPECT_EQ(readBytes(iniPath), "; kept comment\r\n"
                                  "[Window]\r\n"
                                  "LEFT=3\r\n"
                                  "[convert]\r\n"
                                  "TODOUBLE = 1\r\n"
                                  "TOUPPER = 0\r\n"
                                  "[Other]\n"
                                  "TOUPPER = 1\n"
                                  "[KeywordCounts]\r\n"
                                  "KEYWORDCOUNTS = 7\r\n"
                                  "[Last]\r\n"
                                  "X = y\r\n"
                                  "[MinimumBytes]\r\n"
                                  "HANKAKUEISUKIGO = 0\r\n"
                                  "HANKAKUKATAKANA = 0\r\n"
                                  "ZENKAKUEISUKIGO = 0\r\n"
                                  "ZENKAKUHIRAGANA = 0\r\n"
                                  "ZENKAKUKATAKANA = 0\r\n"
                                  "ZENKAKUKANJI = 0\r\n"
                                  "[MinimumCounts]\r\n"
                                  "MINIMUMCOUNTS = 0\r\n");
}

TEST_F(SettingsFile, AFailedSaveLeavesTheOldFileAsItWas) {
    const std::string temporary = std::string(iniPath) + ".tmp";
    writeBytes(iniPath, "[Convert]\r\nTODOUBLE = 1\r\n");
    appSettings = {{}, 0, 10, 0, 0};
    // A folder in the place of the new file makes writing it fail.
    ASSERT_TRUE(CreateDirectoryA(temporary.c_str(), nullptr));
    saveSettings();
    EXPECT_EQ(readBytes(iniPath), "[Convert]\r\nTODOUBLE = 1\r\n");
    RemoveDirectoryA(temporary.c_str());

    // A settings file that cannot be read is not overwritten either.
    DeleteFileA(iniPath);
    ASSERT_TRUE(CreateDirectoryA(iniPath, nullptr));
    saveSettings();
    EXPECT_EQ(GetFileAttributesA(temporary.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA(iniPath) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

} // namespace
