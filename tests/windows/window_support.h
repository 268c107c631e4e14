#pragma once

// Working a window as a user does: texts read and typed, message boxes read and answered. Texts
// cross through the wide functions, in UTF-8 here, so that they read the same whatever the
// system's code page.

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

inline std::wstring wide(const std::string& utf8) {
    wchar_t text[2048] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, text, 2048);
    return text;
}

inline std::string encoded(const std::wstring& text, UINT codePage) {
    char bytes[4096] = {};
    WideCharToMultiByte(codePage, 0, text.c_str(), -1, bytes, sizeof bytes, nullptr, nullptr);
    return bytes;
}

// Shift-JIS bytes of UTF-8 text, so expectations read as the user sees them: sjis(u8"エラー").
inline std::string sjis(const std::string& utf8) {
    return encoded(wide(utf8), 932);
}

// Also of another process's controls, of which GetWindowTextW reads the caption only.
inline std::string windowText(HWND window) {
    wchar_t text[2048] = {};
    SendMessageW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text));
    return encoded(text, CP_UTF8);
}

inline void typeText(HWND edit, const std::string& utf8) {
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide(utf8).c_str()));
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
    PostMessageW(box, WM_COMMAND, button, 0);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(box); })) << "the box stays: " << seen;
    return seen;
}
