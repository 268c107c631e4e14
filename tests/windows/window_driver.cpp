// Drives a running tallyon.exe from outside, as the window tests do, for scripts/screenshot: types
// the path given as argument into the target box, clicks 実　行 and confirms the message that ends
// the run. Exits with 0 once the window shows the run's rows, 1 when it does not.

#include "window_support.h"

int main(int argc, char** argv) {
    HWND window = waitFor([] { return FindWindowA("Tallyon Ver.1.20", nullptr); });
    if (argc != 2 || !window) return 1;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    typeText(FindWindowExA(window, nullptr, "Edit", nullptr), argv[1]);
    PostMessageW(FindWindowExW(window, nullptr, L"Button", wide(u8"実　行").c_str()), BM_CLICK, 0,
                 0);
    return answer(waitFor([&] { return messageBoxOf(processId); })) == "no message box";
}
