#pragma once

// Working a window as a user does: texts read and typed, message boxes read and answered.

#include "test_files.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

// Polls for up to 20 seconds, as long as Wine may take to start or end a program, until `poll`
// gives a non-null result.
template <typename Poll> auto waitFor(Poll poll) {
    for (int i = 0; i < 400; ++i, Sleep(50))
        if (auto result = poll()) return result;
    return decltype(poll())();
}

// Shift-JIS bytes of UTF-8 text, so expectations read as the user sees them: sjis(u8"エラー").
inline std::string sjis(const std::string& utf8) {
    wchar_t wide[1024] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide, 1024);
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

// The first visible top-level window of this class that belongs to the process, or null.
inline HWND windowOf(DWORD processId, const char* className) {
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, className, nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

// The process's message box once it shows its text, the static 0xFFFF; else null.
inline HWND messageBoxOf(DWORD processId) {
    HWND box = windowOf(processId, "#32770");
    return box && !windowText(GetDlgItem(box, 0xFFFF)).empty() ? box : nullptr;
}

// Reads a message box as the user sees it, "text | caption | buttons" and " owned" when it has an
// owner; then presses `button` and waits until the box is gone.
inline std::string answer(HWND box, int button = IDOK) {
    if (!box) return "no message box";
    std::string seen = windowText(GetDlgItem(box, 0xFFFF)) + " | " + windowText(box) + " |";
    const char* names[] = {"", " OK", " Cancel", "", "", "", " Yes", " No"};
    for (int id = IDOK; id <= IDNO; ++id)
        if (IsWindowVisible(GetDlgItem(box, id))) seen += names[id];
    seen += GetWindow(box, GW_OWNER) ? " owned" : "";
    PostMessageA(box, WM_COMMAND, button, 0);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(box); })) << "the box stays: " << seen;
    return seen;
}
