#include "message_boxes.h"
#include "program.h"

#include "app_files.h"
#include "controls.h"
#include "main_window.h"
#include "startup.h"
#include "test_files.h"
#include "texts.h"

#include <gtest/gtest.h>

namespace {

// The restriction holds for the rest of the process: no other test in this one.
TEST(StartupSteps, DllsLoadByNameOnlyFromTheSystemFolder) {
    HMODULE planted = LoadLibraryA("dll_search_probe.dll");
    ASSERT_NE(planted, nullptr) << "the probe lies beside the test program";
    FreeLibrary(planted);

    ASSERT_TRUE(restrictDllSearchToSystemFolder());
    EXPECT_EQ(LoadLibraryA("dll_search_probe.dll"), nullptr);
    EXPECT_NE(LoadLibraryA("version.dll"), nullptr);
}

// Reads the message box of a refused start, presses its OK button and returns the exit code.
long acknowledgeError(Program& program, const char* text) {
    SeenMessageBox seen = program.answerMessageBox(IDOK);
    EXPECT_EQ(seen.text, sjis(text));
    EXPECT_EQ(seen.caption, sjis(u8"エラー"));
    EXPECT_EQ(seen.buttons, std::vector<int>{IDOK});
    EXPECT_EQ(findMainWindowOf(program.process.dwProcessId), nullptr);
    return program.exitCode();
}

TEST(StartupProcess, ASecondStartIsRefusedWhileTheFirstRuns) {
    Installation installation;
    Program first(installation);
    HWND window = first.waitForMainWindow();
    ASSERT_NE(window, nullptr);

    Program second(installation);
    EXPECT_EQ(acknowledgeError(second, u8"二重起動はできません"), 0);
    EXPECT_TRUE(first.isRunning());
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(first.close(window), 0);

    Program third(installation);
    HWND thirdWindow = third.waitForMainWindow();
    ASSERT_NE(thirdWindow, nullptr);
    EXPECT_EQ(third.close(thirdWindow), 0);
}

TEST(StartupProcess, AMissingWordListEndsTheStartAfterItsMessage) {
    struct Case {
        const char* missing;
        const char* message;
    };
    const Case cases[] = {{"userword.lst", u8"ユーザー単語リストのオープンに失敗しました"},
                          {"ignore.lst", u8"除外リストのオープンに失敗しました"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.missing);
        Installation installation;
        DeleteFileA(installation.folder.file(c.missing).c_str());
        Program program(installation);
        EXPECT_EQ(acknowledgeError(program, c.message), 0);
    }
}

TEST(StartupProcess, TheFilesBesideTheExecutableCountNotThoseOfTheCurrentFolder) {
    Installation installation;
    writeBytes(installation.folder.file("init.ini"), "[KeywordCounts]\r\nKEYWORDCOUNTS = 7\r\n");
    Installation elsewhere(false);
    writeBytes(elsewhere.folder.file("init.ini"), "[KeywordCounts]\r\nKEYWORDCOUNTS = 50\r\n");

    Program program(installation, elsewhere.folder.path.string());
    HWND window = program.waitForMainWindow();
    ASSERT_NE(window, nullptr);
    RECT outer;
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.right - outer.left, 480);
    EXPECT_EQ(outer.bottom - outer.top, 380);
    EXPECT_EQ(program.close(window), 0);
}

} // namespace
