#include "startup.h"

#include "main_window.h"
#include "settings.h"

#include <cstdio>
#include <cstring>

const char appTitle[] = "Tallyon Ver.1.20";

HINSTANCE appInstance;
HANDLE instanceMutex;
HWND mainWindow;

char moduleDir[pathSize];
char iniPath[pathSize];
char userWordPath[pathSize];
char ignorePath[pathSize];
char keywordLogPath[pathSize];
char resultPath[pathSize];

// Defined in this order so that ignoreWords is destroyed first.
WordSet userWords;
WordSet ignoreWords;

const char userWordListMessage[] = "\x83\x86\x81\x5b\x83\x55\x81\x5b\x92\x50\x8c\xea\x83\x8a\x83"
                                   "\x58\x83\x67\x82\xcc\x83\x49\x81"
                                   "\x5b\x83\x76\x83\x93\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc"
                                   "\x82\xb5\x82\xbd"; // ユーザー単語リストのオープンに失敗しました
const char ignoreListMessage[] =
    "\x8f\x9c\x8a\x4f\x83\x8a\x83\x58\x83\x67\x82\xcc\x83\x49\x81\x5b\x83\x76\x83\x93\x82\xc9\x8e"
    "\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd"; // 除外リストのオープンに失敗しました

namespace {

const char errorCaption[] = "\x83\x47\x83\x89\x81\x5b"; // エラー
const char secondInstanceMessage[] = "\x93\xf1\x8f\x64\x8b\x4e\x93\xae\x82\xcd\x82\xc5\x82\xab\x82"
                                     "\xdc\x82\xb9\x82\xf1"; // 二重起動はできません

// A path longer than the buffer is cut short rather than overrunning it.
void buildPath(char* path, const char* fileName) {
    std::snprintf(path, pathSize, "%s%s", moduleDir, fileName);
}

// The wParam of the last message retrieved: the exit code once the quit message arrives.
WPARAM runMessageLoop() {
    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // Gives the window the keyboard handling of a dialog box: Tab moves between controls.
        if (IsDialogMessageA(mainWindow, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return message.wParam;
}

} // namespace

void showError(const char* text) {
    MessageBoxA(nullptr, text, errorCaption, MB_OK | MB_ICONWARNING | MB_TASKMODAL);
}

void showInformation(const char* text, const char* caption) {
    MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
}

bool restrictDllSearchToSystemFolder() {
    return SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) != 0;
}

bool claimSingleInstance() {
    // A successful creation need not clear an error left over from before.
    SetLastError(0);
    instanceMutex = CreateMutexA(nullptr, TRUE, appTitle);
    if (GetLastError() == 0) return true;
    showError(secondInstanceMessage);
    return false;
}

void findFilePaths() {
    char executablePath[pathSize] = {};
    GetModuleFileNameA(nullptr, executablePath, pathSize);
    std::memset(moduleDir, 0, pathSize);
    if (const char* lastBackslash = std::strrchr(executablePath, '\\'))
        std::memcpy(moduleDir, executablePath, lastBackslash + 1 - executablePath);
    buildPath(iniPath, "init.ini");
    buildPath(userWordPath, "userword.lst");
    buildPath(ignorePath, "ignore.lst");
    buildPath(keywordLogPath, "keyword.log");
    buildPath(resultPath, "result.txt");
}

bool loadWordLists() {
    if (!loadWordList(userWordPath, userWords)) {
        showError(userWordListMessage);
        return false;
    }
    if (!loadWordList(ignorePath, ignoreWords)) {
        showError(ignoreListMessage);
        return false;
    }
    return true;
}

bool registerMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, "MYICON");
    windowClass.hCursor = static_cast<HCURSOR>(
        LoadImageA(nullptr, IDC_ARROW, IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszClassName = appTitle;
    return RegisterClassExA(&windowClass) != 0;
}

int createMainWindow(HINSTANCE instance, int showCommand) {
    mainWindow = CreateWindowExA(0, appTitle, appTitle, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, mainWindowWidth, mainWindowHeight(),
                                 nullptr, nullptr, instance, nullptr);
    if (!mainWindow) return 0;
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);
    return 1;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    // First, before anything loads a DLL on demand. Where the system cannot restrict the search
    // the program still works with the usual search order.
    restrictDllSearchToSystemFolder();
    if (!claimSingleInstance()) return 0;
    appInstance = instance;
    findFilePaths();
    if (!loadWordLists()) return 0;
    loadSettings();
    // Opening result.txt may go through a shell extension, which needs COM on this thread.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    if (!registerMainWindowClass(instance) || !createMainWindow(instance, showCommand)) return 0;
    WPARAM exitCode = runMessageLoop();
    ReleaseMutex(instanceMutex);
    return static_cast<int>(exitCode);
}
