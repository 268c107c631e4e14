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
        {"[KeywordCounts]\r\nKEYWORDCOUNTS = 51\r\n", {{}, 0, 50, 0, 0}, "KEYWORDCOUNTS = 50"},
        {"[KeywordCounts]\r\nKEYWORDCOUNTS = 50\r\n", {{}, 0, 50, 0, 0}, "KEYWORDCOUNTS = 50"},
        {"[KeywordCounts]\r\nKEYWORDCOUNTS = -7\r\n", {{}, 0, -7, 0, 0}, "KEYWORDCOUNTS = -7"},
        {"[Convert]\r\nTODOUBLE = 2\r\nTOUPPER=1\r\n",
         {{}, 0, 10, 2, 1},
         "TODOUBLE = 2\r\nTOUPPER = 1"},
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

} // namespace
