#include "commands.h"

#include "app_files.h"
#include "controls.h"
#include "keyword_rows.h"
#include "settings.h"
#include "text_encoding.h"
#include "texts.h"
#include "whole_file.h"

#include <commdlg.h>
#include <shellapi.h>

#include <utility>
#include <vector>

int englishMode;

namespace {

// The display text and the pattern, each ending in NUL, and one more NUL that ends the list.
const wchar_t browseFilter[] = L"All files {*.*}\0*.*\0";

// The path chosen last; each dialog opens with it.
wchar_t browseFileName[MAX_PATH];

// Reads the target box; false, after its message, when empty.
bool readTargetPath(std::string& targetPath) {
    targetPath = controlText(targetEdit);
    if (!targetPath.empty()) return true;
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
    options.excludedWords.assign(excludedWords.words.begin(), excludedWords.words.end());
    options.jobs = processorCount();
    return options;
}

// keyword.log is closed when the run returns, before the result is shown.
RunResult runKeywordEngine(const std::string& targetPath) {
    KeywordRunOptions options = keywordRunOptions();
    std::vector<RankingRow> rows;
    enableMainControls(false);
    RunResult result = run(targetPath.c_str(), keywordLogPath.c_str(), std::move(options), rows);
    enableMainControls(true);
    fillKeywordRows(rows);
    return result;
}

// result.txt is closed when the run returns, so the file is complete before it is opened.
RunResult runSearchEngine(const std::string& targetPath, const std::string& keyword) {
    SearchRunOptions options;
    options.keyword = keyword;
    options.toFullWidth = appSettings.toDouble == 1;
    options.toUpper = appSettings.toUpper == 1;
    enableMainControls(false);
    RunResult result = run(targetPath.c_str(), resultPath.c_str(), options);
    enableMainControls(true);
    return result;
}

void openResultFile() {
    HINSTANCE opened = ShellExecuteW(mainWindow, L"Open", widePath(resultPath.c_str()).c_str(),
                                     nullptr, nullptr, SW_SHOWNORMAL);
    // Values up to 32 are error codes.
    if (reinterpret_cast<INT_PTR>(opened) <= 32) showError(editorFailedMessage);
}

} // namespace

void onBrowseButton() {
    // The size of the record of this build: a 64-bit program has a larger one than 32-bit Windows.
    OPENFILENAMEW openFileInfo = {};
    openFileInfo.lStructSize = sizeof(OPENFILENAMEW);
    openFileInfo.hwndOwner = mainWindow;
    openFileInfo.lpstrFilter = browseFilter;
    openFileInfo.nFilterIndex = 0;
    openFileInfo.lpstrFile = browseFileName;
    openFileInfo.nMaxFile = MAX_PATH;
    openFileInfo.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (GetOpenFileNameW(&openFileInfo)) SetWindowTextW(targetEdit, browseFileName);
}

void onRunButton() {
    englishMode = SendMessageW(englishCheck, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    std::string targetPath;
    if (!readTargetPath(targetPath)) return;
    showRunResult(RunKind::Keywords, static_cast<int>(runKeywordEngine(targetPath)));
}

void onSearchButton(int row) {
    std::string targetPath;
    if (!readTargetPath(targetPath)) return;
    // A character that code page 932 lacks becomes the geta mark, as in a target.
    std::string keyword = toCodePage932(TextEncoding::Utf8, controlText(keywordEdits[row]));
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
    if (MessageBoxW(mainWindow, wideText(closeQuestion).c_str(), wideText(confirmCaption).c_str(),
                    MB_TASKMODAL | MB_ICONQUESTION | MB_YESNO) != IDYES)
        return;
    if (!saveWordLists()) return;
    saveSettings();
    DestroyWindow(mainWindow);
}
