#include "commands.h"

#include "keyword_rows.h"
#include "main_window.h"
#include "settings.h"
#include "settings_panel.h"
#include "startup.h"

#include <commdlg.h>
#include <shellapi.h>

int englishMode;

namespace {

// Shift-JIS texts of the messages.
const char noTargetMessage[] = // 対象ファイルを指定してください
    "\x91\xce\x8f\xdb\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x8e\x77\x92\xe8\x82\xb5\x82\xc4\x82"
    "\xad\x82\xbe\x82\xb3\x82\xa2";
const char finishedMessage[] = // 検索処理が終了しました
    "\x8c\x9f\x8d\xf5\x8f\x88\x97\x9d\x82\xaa\x8f\x49\x97\xb9\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
const char finishedCaption[] = "\x8f\x49\x97\xb9"; // 終了
const char ioErrorMessage[] =                      // 入出力エラーが発生しました
    "\x93\xfc\x8f\x6f\x97\xcd\x83\x47\x83\x89\x81\x5b\x82\xaa\x94\xad\x90\xb6\x82\xb5\x82\xdc\x82"
    "\xb5\x82\xbd";
const char searchErrorMessage[] = // 検索エラーが発生しました
    "\x8c\x9f\x8d\xf5\x83\x47\x83\x89\x81\x5b\x82\xaa\x94\xad\x90\xb6\x82\xb5\x82\xdc\x82\xb5\x82"
    "\xbd";
const char keywordErrorMessage[] = // キーワード生成エラーが発生しました
    "\x83\x4c\x81\x5b\x83\x8f\x81\x5b\x83\x68\x90\xb6\x90\xac\x83\x47\x83\x89\x81\x5b\x82\xaa\x94"
    "\xad\x90\xb6\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
const char bufferOverflowMessage[] = // バッファオーバーフローが発生しました
    "\x83\x6f\x83\x62\x83\x74\x83\x40\x83\x49\x81\x5b\x83\x6f\x81\x5b\x83\x74\x83\x8d\x81\x5b\x82"
    "\xaa\x94\xad\x90\xb6\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
const char editorFailedMessage[] = // 標準エディタの起動に失敗しました
    "\x95\x57\x8f\x80\x83\x47\x83\x66\x83\x42\x83\x5e\x82\xcc\x8b\x4e\x93\xae\x82\xc9\x8e\xb8\x94"
    "\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
const char closeQuestion[] =
    "Tallyon\x82\xf0\x8f\x49\x97\xb9\x82\xb5\x82\xdc\x82\xb7"; // Tallyonを終了します
const char confirmCaption[] = "\x8a\x6d\x94\x46";              // 確認

// The messages of the failed runs, by result code from 1 on.
const char* const runErrorMessages[] = {ioErrorMessage, searchErrorMessage, keywordErrorMessage,
                                        bufferOverflowMessage};

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

void onSettingsButton() {
    enableMainControls(false);
    enableSettingsPanel(true);
}

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

void onRunButton() {
    englishMode = SendMessageA(englishCheck, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    char targetPath[pathSize] = {};
    if (!readTargetPath(targetPath)) return;
    showRunResult(KeywordRun, runKeywordEngine(targetPath));
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

void onSearchButton(int row) {
    char targetPath[pathSize] = {};
    if (!readTargetPath(targetPath)) return;
    char keyword[1024] = {};
    GetWindowTextA(keywordEdits[row], keyword, sizeof keyword);
    showRunResult(SearchRun, runSearchEngine(targetPath, keyword));
}

void openResultFile() {
    HINSTANCE opened =
        ShellExecuteA(mainWindow, "Open", resultPath, nullptr, nullptr, SW_SHOWNORMAL);
    // Values up to 32 are error codes.
    if (reinterpret_cast<INT_PTR>(opened) <= 32) showError(editorFailedMessage);
}

} // namespace

void onCommand(HWND sender) {
    if (sender == settingsButton) return onSettingsButton();
    if (sender == browseButton) return onBrowseButton();
    if (sender == runButton) return onRunButton();
    if (sender == applyButton) return onApplyButton();
    if (sender == cancelButton) return onCancelButton();
    for (int i = 0; i < keywordRowsShown(); ++i) {
        if (sender == searchButtons[i]) return onSearchButton(i);
        if (sender == userWordButtons[i]) return registerUserWord(i);
        if (sender == ignoreButtons[i]) return registerIgnoreWord(i);
    }
    // The check boxes change only their own tick, which is read when it is needed.
}

void enableMainControls(bool enable) {
    for (HWND control : {englishCheck, settingsButton, targetLabel, targetEdit, browseButton,
                         runButton, legendLabel})
        EnableWindow(control, enable);
    for (int i = 0; i < keywordRowsShown(); ++i)
        for (HWND control : {rankLabels[i], keywordEdits[i], countEdits[i], searchButtons[i],
                             userWordButtons[i], ignoreButtons[i]})
            EnableWindow(control, enable);
    InvalidateRect(mainWindow, nullptr, TRUE);
    if (enable) SetFocus(targetEdit);
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
    if (!saveWordList(userWordPath, userWords)) return showError(userWordListMessage);
    if (!saveWordList(ignorePath, ignoreWords)) return showError(ignoreListMessage);
    saveSettings();
    DestroyWindow(mainWindow);
}
