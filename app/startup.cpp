#include "startup.h"

#include "app_files.h"
#include "controls.h"
#include "main_window.h"
#include "settings.h"
#include "texts.h"

#include <windows.h>

namespace {

HANDLE instanceMutex;

// The wParam of the last message retrieved: the exit code once the quit message arrives.
WPARAM runMessageLoop() {
    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Gives the window the keyboard handling of a dialog box: Tab moves between controls.
        if (IsDialogMessageW(mainWindow, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return message.wParam;
}

} // namespace

bool restrictDllSearchToSystemFolder() {
    return SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) != 0;
}

bool claimSingleInstance() {
    // A successful creation need not clear an error left over from before.
    SetLastError(0);
    instanceMutex = CreateMutexW(nullptr, TRUE, wideText(appTitle).c_str());
    if (GetLastError() == 0) return true;
    showError(secondInstanceMessage);
    return false;
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
