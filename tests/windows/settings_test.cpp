#include "app_files.h"
#include "controls.h"
#include "main_window.h"
#include "settings.h"
#include "startup.h"
#include "test_files.h"
#include "test_window.h"
#include "texts.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// init.ini as saved from these settings.
std::string savedFile(const AppSettings& s) {
    const char* keys[] = {"HANKAKUEISUKIGO", "HANKAKUKATAKANA", "ZENKAKUEISUKIGO",
                          "ZENKAKUHIRAGANA", "ZENKAKUKATAKANA", "ZENKAKUKANJI"};
    std::string file = "[MinimumBytes]\r\n";
    for (int i = 0; i < 6; ++i) file += keys[i] + (" = " + std::to_string(s.minBytes[i])) + "\r\n";
    return file + "[Convert]\r\nTODOUBLE = " + std::to_string(s.toDouble) +
           "\r\nTOUPPER = " + std::to_string(s.toUpper) +
           "\r\n[MinimumCounts]\r\nMINIMUMCOUNTS = " + std::to_string(s.minimumCounts) +
           "\r\n[KeywordCounts]\r\nKEYWORDCOUNTS = " + std::to_string(s.keywordCounts) + "\r\n";
}

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
    EXPECT_EQ(readBytes(iniPath), savedFile(appSettings));
}

TEST_F(SettingsFile, EveryValueIsSavedUnderItsOwnKey) {
    const AppSettings distinct = {{1, 2, 3, 4, 5, 6}, 7, 8, 9, -10};
    appSettings = distinct;
    saveSettings();
    EXPECT_EQ(readBytes(iniPath), savedFile(distinct));
    appSettings = {};
    loadSettings();
    EXPECT_EQ(appSettings, distinct);
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
