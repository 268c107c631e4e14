#include "commands.h"

#include "app_files.h"
#include "controls.h"
#include "keyword_rows.h"
#include "settings.h"
#include "texts.h"

#include <commdlg.h>
#include <shellapi.h>

int englishMode;

namespace {

// The display text and the pattern, each ending in NUL, and one more NUL that ends the list.
const char browseFilter[] = "All files {*.*}\0*.*\0";

// The path chosen last; each dialog opens with it.
char browseFileName[MAX_PATH];

// Reads the target box into a buffer of pathSize bytes; false, after its message, when empty.
bool readTargetPath(char* targetPath) {
    if (GetWindowTextA(targetEdit, targetPath, pathSize) > 0) return true;
    showError(noTargetMessage);
    return false;
}

// The engine lives only for the run: leaving closes keyword.log before the result is shown.
RunResult runKeywordEngine(const char* targetPath) {
    const AppSettings& settings = appSettings;
    KeywordEngine engine(keywordLogPath, settings.minBytes[0], settings.minBytes[1],
                         settings.minBytes[2], settings.minBytes[3], settings.minBytes[4],
                         settings.minBytes[5], settings.minimumCounts, settings.keywordCounts,
                         settings.toDouble, settings.toUpper, englishMode);
    for (const std::string& word : userWords)
        engine.addUserWord(static_cast<int>(word.size()), word.c_str());
    for (const std::string& word : ignoreWords) engine.addExcludedWord(word.c_str());
    enableMainControls(false);
    RunResult result = engine.run(targetPath);
    enableMainControls(true);
    fillKeywordRows(engine);
    return result;
}

// The engine keeps a pointer to the keyword, which stays unchanged while it lives. Leaving closes
// result.txt, so the file is complete before it is opened.
RunResult runSearchEngine(const char* targetPath, const char* keyword) {
    KeywordEngine engine(resultPath, keyword, appSettings.toDouble, appSettings.toUpper);
    engine.writeSearchHeader();
    enableMainControls(false);
    RunResult result = engine.run(targetPath);
    enableMainControls(true);
    engine.writeSearchFooter();
    return result;
}

void openResultFile() {
    HINSTANCE opened =
        ShellExecuteA(mainWindow, "Open", resultPath, nullptr, nullptr, SW_SHOWNORMAL);
    // Values up to 32 are error codes.
    if (reinterpret_cast<INT_PTR>(opened) <= 32) showError(editorFailedMessage);
}

} // namespace

void onBrowseButton() {
    // The size of the record of this build: a 64-bit program has a larger one than 32-bit Windows.
    OPENFILENAMEA openFileInfo = {};
    openFileInfo.lStructSize = sizeof(OPENFILENAMEA);
    openFileInfo.hwndOwner = mainWindow;
    openFileInfo.lpstrFilter = browseFilter;
    openFileInfo.nFilterIndex = 0;
    openFileInfo.lpstrFile = browseFileName;
    openFileInfo.nMaxFile = sizeof browseFileName;
    openFileInfo.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (GetOpenFileNameA(&openFileInfo)) SetWindowTextA(targetEdit, browseFileName);
}

void onRunButton() {
    englishMode = SendMessageA(englishCheck, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    char targetPath[pathSize] = {};
    if (!readTargetPath(targetPath)) return;
    showRunResult(KeywordRun, runKeywordEngine(targetPath));
}

void onSearchButton(int row) {
    char targetPath[pathSize] = {};
    if (!readTargetPath(targetPath)) return;
    char keyword[1024] = {};
    GetWindowTextA(keywordEdits[row], keyword, sizeof keyword);
    showRunResult(SearchRun, runSearchEngine(targetPath, keyword));
}

void showRunResult(RunKind runKind, int resultCode) {
    if (resultCode == ResultOk) {
        showInformation(finishedMessage, finishedCaption);
        if (runKind == SearchRun) openResultFile();
    } else if (resultCode >= ResultIoError && resultCode <= ResultBufferOverflow) {
        showError(runErrorMessages[resultCode - ResultIoError]);
    }
}

void onClose() {
    if (MessageBoxA(mainWindow, closeQuestion, confirmCaption,
                    MB_TASKMODAL | MB_ICONQUESTION | MB_YESNO) != IDYES)
        return;
    if (!saveWordLists()) return;
    saveSettings();
    DestroyWindow(mainWindow);
}
