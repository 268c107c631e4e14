#include "message_boxes.h"

#include "startup.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

const std::string errorCaption = sjis(u8"エラー");
const std::string secondInstanceMessage = sjis(u8"二重起動はできません");
const std::string userWordListMessage = sjis(u8"ユーザー単語リストのオープンに失敗しました");
const std::string ignoreListMessage = sjis(u8"除外リストのオープンに失敗しました");

void expectErrorBox(const std::vector<SeenMessageBox>& boxes, const std::string& text) {
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, text);
    EXPECT_EQ(boxes[0].caption, errorCaption);
    EXPECT_EQ(boxes[0].icon, warningIcon());
    EXPECT_EQ(boxes[0].buttons, std::vector<int>{IDOK});
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_TRUE(boxes[0].taskModal);
}

TEST(StartupSteps, AnotherInstanceIsRefusedWithAMessage) {
    HANDLE other = CreateMutexA(nullptr, TRUE, "Tallyon Ver.1.20");
    bool claimed = true;
    expectErrorBox(watchMessageBoxes([&] { claimed = claimSingleInstance(); }),
                   secondInstanceMessage);
    EXPECT_FALSE(claimed);
    CloseHandle(instanceMutex);
    CloseHandle(other);

    EXPECT_TRUE(watchMessageBoxes([&] { claimed = claimSingleInstance(); }).empty());
    EXPECT_TRUE(claimed);
    CloseHandle(instanceMutex);
}

TEST(StartupSteps, EachMissingWordListHasItsMessage) {
    struct Case {
        bool userWordListExists;
        bool ignoreListExists;
        const std::string* message; // nullptr: both load
        const char* name;
    };
    const Case cases[] = {
        {false, true, &userWordListMessage, "no userword.lst"},
        {true, false, &ignoreListMessage, "no ignore.lst"},
        {true, true, nullptr, "both lists"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TemporaryFolder folder;
        std::snprintf(userWordPath, pathSize, "%s", folder.file("userword.lst").c_str());
        std::snprintf(ignorePath, pathSize, "%s", folder.file("ignore.lst").c_str());
        if (c.userWordListExists) writeBytes(userWordPath, "b\r\na\r\n");
        if (c.ignoreListExists) writeBytes(ignorePath, "x\r\n");
        userWords.clear();
        ignoreWords.clear();
        bool loaded = false;
        std::vector<SeenMessageBox> boxes = watchMessageBoxes([&] { loaded = loadWordLists(); });
        if (c.message) {
            expectErrorBox(boxes, *c.message);
        } else {
            EXPECT_TRUE(boxes.empty());
            EXPECT_EQ(userWords, (WordSet{"a", "b"}));
            EXPECT_EQ(ignoreWords, (WordSet{"x"}));
        }
        EXPECT_EQ(loaded, c.message == nullptr);
    }
}

// Waits up to 20 seconds, as long as Wine may take to start or end a program, for a non-null
// result of `poll`.
template <typename Poll> auto waitFor(Poll poll) {
    for (int i = 0; i < 400; ++i) {
        if (auto result = poll()) return result;
        Sleep(50);
    }
    return decltype(poll())();
}

// A copy of tallyon.exe in a folder of its own, with the word lists beside it.
class Installation {
  public:
    explicit Installation(bool withLists = true) {
        EXPECT_TRUE(CopyFileA(TALLYON_EXE, executable().c_str(), FALSE)) << TALLYON_EXE;
        if (!withLists) return;
        writeBytes(folder.file("userword.lst"), "");
        writeBytes(folder.file("ignore.lst"), "");
    }

    std::string executable() const { return folder.file("tallyon.exe"); }

    TemporaryFolder folder;
};

class Program {
  public:
    Program(const Installation& installation, const std::string& currentDirectory = "") {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::string directory =
            currentDirectory.empty() ? installation.folder.path.string() : currentDirectory;
        EXPECT_TRUE(CreateProcessA(installation.executable().c_str(), nullptr, nullptr, nullptr,
                                   FALSE, 0, nullptr, directory.c_str(), &startup, &process));
    }
    ~Program() {
        if (isRunning()) TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    HWND waitForMainWindow() {
        return waitFor([&] { return findMainWindowOf(process.dwProcessId); });
    }
    // The box once it shows, its text and buttons set.
    HWND waitForMessageBox() {
        return waitFor([&]() -> HWND {
            HWND box = findMessageBoxOf(process.dwProcessId);
            bool ready =
                box && IsWindowVisible(box) && !windowText(GetDlgItem(box, 0xFFFF)).empty();
            return ready ? box : nullptr;
        });
    }
    bool isRunning() const { return WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT; }

    // The exit code, or -1 when the program does not end in time.
    long exitCode() {
        if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        return static_cast<long>(code);
    }

    // Closes the main window as its close box does and returns the exit code.
    long close(HWND window) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        return exitCode();
    }

    // Reads the message box of a refused start, presses its OK button and returns the exit code.
    long acknowledgeError(const std::string& text) {
        HWND box = waitForMessageBox();
        if (!box) return -1;
        SeenMessageBox seen = readMessageBox(box);
        EXPECT_EQ(seen.text, text);
        EXPECT_EQ(seen.caption, errorCaption);
        EXPECT_EQ(seen.buttons, std::vector<int>{IDOK});
        EXPECT_EQ(findMainWindowOf(process.dwProcessId), nullptr);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return exitCode();
    }

  private:
    PROCESS_INFORMATION process = {};
};

TEST(StartupProcess, ASecondStartIsRefusedWhileTheFirstRuns) {
    Installation installation;
    Program first(installation);
    HWND window = first.waitForMainWindow();
    ASSERT_NE(window, nullptr);

    Program second(installation);
    EXPECT_EQ(second.acknowledgeError(secondInstanceMessage), 0);
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
        const std::string& message;
    };
    const Case cases[] = {{"userword.lst", userWordListMessage}, {"ignore.lst", ignoreListMessage}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.missing);
        Installation installation;
        DeleteFileA(installation.folder.file(c.missing).c_str());
        Program program(installation);
        EXPECT_EQ(program.acknowledgeError(c.message), 0);
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
