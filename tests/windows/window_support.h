#pragma once

// Working a window as a user does: controls found by class and caption, texts read and typed,
// message boxes read and answered; and the real tallyon.exe started in a folder of its own.

#include "test_files.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

// Waits up to 20 seconds, as long as Wine may take to start or end a program, for a non-null
// result of `poll`.
template <typename Poll> auto waitFor(Poll poll) {
    for (int i = 0; i < 400; ++i) {
        if (auto result = poll()) return result;
        Sleep(50);
    }
    return decltype(poll())();
}

// Shift-JIS bytes of UTF-8 text, so expectations read as the user sees them: sjis(u8"エラー").
inline std::string sjis(const char* utf8) {
    wchar_t wide[1024] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 1024);
    char bytes[2048] = {};
    WideCharToMultiByte(932, 0, wide, -1, bytes, sizeof bytes, nullptr, nullptr);
    return bytes;
}

// Also of another process's controls, of which GetWindowTextA reads the caption only.
inline std::string windowText(HWND window) {
    char text[2048] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

inline void typeText(HWND edit, const std::string& text) {
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

inline bool hasClass(HWND window, const char* className) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return lstrcmpiA(name, className) == 0;
}

// In creation order.
inline std::vector<HWND> childrenOf(HWND window) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// In the parent's client coordinates.
inline RECT clientRect(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A message box as the user sees it: "text | caption | buttons", " owned" when it has an owner.
inline std::string readMessageBox(HWND box) {
    // The message text is the static with the identifier 0xFFFF.
    std::string seen = windowText(GetDlgItem(box, 0xFFFF)) + " | " + windowText(box) + " |";
    const char* names[] = {"", " OK", " Cancel", "", "", "", " Yes", " No"};
    for (HWND child : childrenOf(box))
        if (hasClass(child, "Button") && IsWindowVisible(child) && GetDlgCtrlID(child) < 8)
            seen += names[GetDlgCtrlID(child)];
    return seen + (GetWindow(box, GW_OWNER) ? " owned" : "");
}

// The first visible top-level window of this class that belongs to the process, or null.
inline HWND findWindowOf(DWORD processId, const char* className) {
    for (HWND window = FindWindowExA(nullptr, nullptr, className, nullptr); window;
         window = FindWindowExA(nullptr, window, className, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

// The message box of the process once it shows with its text; null when none shows.
inline HWND waitForMessageBox(DWORD processId) {
    return waitFor([&]() -> HWND {
        HWND box = findWindowOf(processId, "#32770");
        return box && !windowText(GetDlgItem(box, 0xFFFF)).empty() ? box : nullptr;
    });
}

// Reads the message box that shows next, presses `button` and waits until the box is gone.
inline std::string answerMessageBox(DWORD processId, int button) {
    HWND box = waitForMessageBox(processId);
    if (!box) return "no message box";
    std::string seen = readMessageBox(box);
    PostMessageA(box, WM_COMMAND, button, 0);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(box); })) << "the box stays: " << seen;
    return seen;
}

#ifdef TALLYON_EXE
// A copy of tallyon.exe in a folder of its own, with empty word lists beside it.
struct Installation {
    Installation() {
        EXPECT_TRUE(CopyFileA(TALLYON_EXE, file("tallyon.exe").c_str(), FALSE)) << TALLYON_EXE;
        writeBytes(file("userword.lst"), "");
        writeBytes(file("ignore.lst"), "");
    }
    std::string file(const std::string& name) const { return folder.file(name); }
    TemporaryFolder folder;
};

class Program {
  public:
    explicit Program(const Installation& installation, std::string currentFolder = "") {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        if (currentFolder.empty()) currentFolder = installation.folder.path.string();
        EXPECT_TRUE(CreateProcessA(installation.file("tallyon.exe").c_str(), nullptr, nullptr,
                                   nullptr, FALSE, 0, nullptr, currentFolder.c_str(), &startup,
                                   &process));
    }
    ~Program() {
        if (isRunning()) TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The main window once it shows, with all its controls; null when none shows.
    HWND waitForMainWindow() {
        return waitFor([&] { return findWindowOf(process.dwProcessId, "Tallyon Ver.1.20"); });
    }
    std::string answer(int button = IDOK) { return answerMessageBox(process.dwProcessId, button); }
    bool isRunning() const { return WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT; }
    // The exit code, or -1 when the program does not end in time.
    long exitCode() {
        DWORD code = 0;
        if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0) return -1;
        GetExitCodeProcess(process.hProcess, &code);
        return static_cast<long>(code);
    }
    // Closes the main window as its close box does and confirms; returns the exit code.
    long close(HWND window) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(answer(IDYES).find(sjis(u8"Tallyonを終了します")), 0u);
        return exitCode();
    }

    PROCESS_INFORMATION process = {};
};
#endif
