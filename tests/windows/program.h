#pragma once

// The real tallyon.exe as a separate process, driven from outside through its windows. The tests
// that include this define TALLYON_EXE.

#include "message_boxes.h"
#include "test_files.h"

#include <gtest/gtest.h>

// A copy of tallyon.exe in a folder of its own, with the word lists beside it.
class Installation {
  public:
    explicit Installation(bool withLists = true) {
        EXPECT_TRUE(CopyFileA(TALLYON_EXE, executable().c_str(), FALSE)) << TALLYON_EXE;
        if (!withLists) return;
        writeBytes(file("userword.lst"), "");
        writeBytes(file("ignore.lst"), "");
    }

    std::string executable() const { return file("tallyon.exe"); }
    std::string file(const std::string& name) const { return folder.file(name); }

    TemporaryFolder folder;
};

class Program {
  public:
    explicit Program(const Installation& installation, const std::string& currentDirectory = "") {
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

    // The main window once it shows: its controls are all created by then.
    HWND waitForMainWindow() {
        return waitFor([&]() -> HWND {
            HWND window = findMainWindowOf(process.dwProcessId);
            return window && IsWindowVisible(window) ? window : nullptr;
        });
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

    // Reads the message box that shows next, presses `button` and waits until the box is gone.
    // An empty text when none shows.
    SeenMessageBox answerMessageBox(int button) {
        HWND box = waitForMessageBox();
        if (!box) return {};
        SeenMessageBox seen = readMessageBox(box);
        PostMessageA(box, WM_COMMAND, button, 0);
        EXPECT_TRUE(waitFor([&] { return !IsWindow(box); })) << "the box stays: " << seen.text;
        return seen;
    }

    bool isRunning() const { return WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT; }

    // The exit code, or -1 when the program does not end in time.
    long exitCode() {
        if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        return static_cast<long>(code);
    }

    // Closes the main window as its close box does, answers the confirmation with Yes and
    // returns the exit code.
    long close(HWND window) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(answerMessageBox(IDYES).text, sjis(u8"Tallyonを終了します"));
        return exitCode();
    }

    PROCESS_INFORMATION process = {};
};
