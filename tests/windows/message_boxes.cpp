#include "message_boxes.h"

#include "app_files.h"
#include "controls.h"
#include "main_window.h"
#include "startup.h"
#include "texts.h"

namespace {

HHOOK hook;
HWND activatedBox;
std::function<void(HWND)> handleDialog;

bool hasClass(HWND window, const char* className) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return lstrcmpiA(name, className) == 0;
}

BOOL CALLBACK addChild(HWND child, LPARAM boxes) {
    auto* box = reinterpret_cast<SeenMessageBox*>(boxes);
    LONG style = GetWindowLongA(child, GWL_STYLE);
    if (hasClass(child, "Button") && (style & WS_VISIBLE))
        box->buttons.push_back(GetDlgCtrlID(child));
    if (hasClass(child, "Static") && (style & SS_TYPEMASK) == SS_ICON)
        box->icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    return TRUE;
}

void CALLBACK onDialogReady(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    handleDialog(activatedBox);
}

// A box can be activated before its text and buttons are set, so it is handled from its own
// message loop a moment later.
LRESULT CALLBACK onCbt(int code, WPARAM wParam, LPARAM lParam) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && hasClass(window, "#32770")) {
        activatedBox = window;
        SetTimer(nullptr, 0, 50, onDialogReady);
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

// The first top-level window of this class that belongs to the process.
HWND findWindowOf(DWORD processId, const char* className) {
    for (HWND window = FindWindowExA(nullptr, nullptr, className, nullptr); window;
         window = FindWindowExA(nullptr, window, className, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId) return window;
    }
    return nullptr;
}

} // namespace

std::string sjis(const char* utf8) {
    wchar_t wide[1024] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 1024);
    char bytes[2048] = {};
    WideCharToMultiByte(932, 0, wide, -1, bytes, sizeof bytes, nullptr, nullptr);
    return bytes;
}

std::string windowText(HWND window) {
    char text[2048] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

void watchDialogs(const std::function<void()>& action, const std::function<void(HWND)>& handle) {
    handleDialog = handle;
    hook = SetWindowsHookExA(WH_CBT, onCbt, nullptr, GetCurrentThreadId());
    action();
    UnhookWindowsHookEx(hook);
}

std::vector<SeenMessageBox> watchMessageBoxes(const std::function<void()>& action, int answer) {
    std::vector<SeenMessageBox> boxes;
    HWND witness = CreateWindowExA(0, "STATIC", "witness", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    watchDialogs(action, [&](HWND box) {
        SeenMessageBox seen = readMessageBox(box);
        seen.owner = GetWindow(box, GW_OWNER);
        seen.taskModal = !IsWindowEnabled(witness);
        boxes.push_back(seen);
        PostMessageA(box, WM_COMMAND, answer, 0);
    });
    DestroyWindow(witness);
    return boxes;
}

HWND findMessageBoxOf(DWORD processId) {
    return findWindowOf(processId, "#32770");
}

HWND findMainWindowOf(DWORD processId) {
    return findWindowOf(processId, appTitle);
}

SeenMessageBox readMessageBox(HWND box) {
    SeenMessageBox seen = {};
    // The message text is the static with the identifier 0xFFFF.
    seen.text = windowText(GetDlgItem(box, 0xFFFF));
    seen.caption = windowText(box);
    EnumChildWindows(box, addChild, reinterpret_cast<LPARAM>(&seen));
    return seen;
}
