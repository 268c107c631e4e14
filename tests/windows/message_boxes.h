#pragma once

#include <windows.h>

#include <functional>
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
std::string sjis(const char* utf8);

std::string windowText(HWND window);

// A message box as the user saw it.
struct SeenMessageBox {
    std::string text;
    std::string caption;
    HICON icon;
    std::vector<int> buttons; // identifiers of the visible buttons, IDOK, IDYES…
    HWND owner;
    bool taskModal; // the thread's other top-level windows were disabled while it showed
};

// Runs `action` on this thread and hands every dialog box that it shows, message boxes included,
// to `handle` once the box runs its message loop.
void watchDialogs(const std::function<void()>& action, const std::function<void(HWND)>& handle);

// Runs `action` on this thread; every message box that it shows is recorded and answered with
// `answer`.
std::vector<SeenMessageBox> watchMessageBoxes(const std::function<void()>& action,
                                              int answer = IDOK);

// The message box shown by another process, or null when none shows (yet).
HWND findMessageBoxOf(DWORD processId);

// The main window of another process, or null.
HWND findMainWindowOf(DWORD processId);

// The text and the visible buttons of a message box of another process; the icon, owner and
// modality can only be seen from inside.
SeenMessageBox readMessageBox(HWND box);
