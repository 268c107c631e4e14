#include "commands.h"

#include "app_files.h"
#include "controls.h"
#include "keyword_rows.h"
#include "settings.h"
#include "texts.h"

#include <commdlg.h>
#include <shellapi.h>

#include <utility>
#include <vector>

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

// The settings as the engine takes them; of the switches, only 1 means on.
KeywordRunOptions keywordRunOptions() {
    const AppSettings& settings = appSettings;
    KeywordRunOptions options;
    for (size_t i = 0; i < options.minBytes.size(); ++i) options.minBytes[i] = settings.minBytes[i];
    options.minimumCount = settings.minimumCounts;
    options.rows = settings.keywordCounts;
    options.toFullWidth = settings.toDouble == 1;
    options.toUpper = settings.toUpper == 1;
    options.englishMode = englishMode == 1;
    options.userWords.assign(userWords.words.begin(), userWords.words.end());
    options.excludedWords.assign(ignoreWords.words.begin(), ignoreWords.words.end());
    return options;
}

// keyword.log is closed when the run returns, before the result is shown.
RunResult runKeywordEngine(const char* targetPath) {
    KeywordRunOptions options = keywordRunOptions();
    std::vector<RankingRow> rows;
    enableMainControls(false);
    RunResult result = run(targetPath, keywordLogPath, std::move(options), rows);
    enableMainControls(true);
    fillKeywordRows(rows);
    return result;
}

// result.txt is closed when the run returns, so the file is complete before it is opened.
RunResult runSearchEngine(const char* targetPath, const char* keyword) {
    SearchRunOptions options;
    options.keyword = keyword;
    options.toFullWidth = appSettings.toDouble == 1;
    options.toUpper = appSettings.toUpper == 1;
    enableMainControls(false);
    RunResult result = run(targetPath, resultPath, options);
    enableMainControls(true);
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
    showRunResult(RunKind::Keywords, static_cast<int>(runKeywordEngine(targetPath)));
}

void onSearchButton(int row) {
    char targetPath[pathSize] = {};
    if (!readTargetPath(targetPath)) return;
    char keyword[1024] = {};
    GetWindowTextA(keywordEdits[row], keyword, sizeof keyword);
    showRunResult(RunKind::Search, static_cast<int>(runSearchEngine(targetPath, keyword)));
}

void showRunResult(RunKind runKind, int resultCode) {
    constexpr int firstError = static_cast<int>(RunResult::OutputError);
    constexpr int lastError = static_cast<int>(RunResult::SentenceTooLong);
    if (resultCode == static_cast<int>(RunResult::Done)) {
        showInformation(finishedMessage, finishedCaption);
        if (runKind == RunKind::Search) openResultFile();
    } else if (resultCode >= firstError && resultCode <= lastError) {
        showError(runErrorMessages[resultCode - firstError]);
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
