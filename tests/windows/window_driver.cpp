// Drives a running tallyon.exe from outside, as the end-to-end tests do, for scripts/screenshot:
// types the path given as argument into the target box, clicks 実　行 and confirms the message
// that ends the run. Exits with 0 once the window shows the run's rows, 1 when it does not.

#include "message_boxes.h"

#include "app_files.h"
#include "controls.h"
#include "main_window.h"
#include "startup.h"
#include "texts.h"

#include <cstdio>

static HWND firstChild(HWND window, const char* className, const char* caption = nullptr) {
    return FindWindowExA(window, nullptr, className, caption);
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: window_driver TARGET\n");
        return 1;
    }
    HWND window = waitFor([]() -> HWND {
        HWND found = FindWindowA(appTitle, nullptr);
        return found && IsWindowVisible(found) ? found : nullptr;
    });
    if (!window) return 1;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);

    SendMessageA(firstChild(window, "Edit"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[1]));
    PostMessageA(firstChild(window, "Button", sjis(u8"実　行").c_str()), BM_CLICK, 0, 0);
    HWND box = waitFor([&]() -> HWND {
        HWND found = findMessageBoxOf(processId);
        return found && IsWindowVisible(found) ? found : nullptr;
    });
    if (!box) return 1;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return waitFor([&] { return !IsWindow(box); }) ? 0 : 1;
}
