#include "test_window.h"

#include "app_files.h"
#include "controls.h"
#include "main_window.h"
#include "startup.h"
#include "texts.h"

#include <algorithm>

bool openMainWindow(const AppSettings& settings) {
    appInstance = GetModuleHandleA(nullptr);
    static const bool registered = registerMainWindowClass(appInstance);
    if (!registered) return false;
    appSettings = settings;
    // The rows of a window closed before must not pass for rows of this one.
    for (HWND* rows :
         {rankLabels, keywordEdits, countEdits, searchButtons, userWordButtons, excludeButtons})
        std::fill(rows, rows + maxKeywordCounts, nullptr);
    return createMainWindow(appInstance, SW_SHOWNORMAL) == 1;
}

void closeMainWindow() {
    if (IsWindow(mainWindow)) DestroyWindow(mainWindow);
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}
