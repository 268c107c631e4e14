#include "main_window.h"

#include "commands.h"
#include "settings_panel.h"
#include "startup.h"

#include <shellapi.h>

#include <cstdio>

HWND englishCheck;
HWND settingsButton;
HWND targetLabel;
HWND targetEdit;
HWND browseButton;
HWND runButton;
HWND legendLabel;

HWND rankLabels[maxKeywordCounts];
HWND keywordEdits[maxKeywordCounts];
HWND countEdits[maxKeywordCounts];
HWND searchButtons[maxKeywordCounts];
HWND userWordButtons[maxKeywordCounts];
HWND ignoreButtons[maxKeywordCounts];

HWND settingsGroup;
HWND minBytesLabel;
HWND classLabels[6];
HWND minBytesEdits[6];
HWND toDoubleCheck;
HWND toUpperCheck;
HWND minCountLabel;
HWND minCountEdit;
HWND applyButton;
HWND cancelButton;

WNDPROC oldTargetEditProc;

namespace {

enum ControlKind {
    LeftStatic,
    CenteredStatic,
    RightStatic,
    TextEdit,
    NumberEdit,
    PushButton,
    CheckBox,
    GroupBox,
};

struct KindStyle {
    const char* className;
    DWORD extendedStyle;
    DWORD style;
    int identifier;
};

// Indexed by ControlKind.
const KindStyle kindStyles[] = {
    {"STATIC", 0, WS_CHILD | WS_VISIBLE | SS_LEFT, staticControlId},
    {"STATIC", 0, WS_CHILD | WS_VISIBLE | SS_CENTER, staticControlId},
    {"STATIC", 0, WS_CHILD | WS_VISIBLE | SS_RIGHT, staticControlId},
    {"EDIT", WS_EX_CLIENTEDGE,
     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, editControlId},
    {"EDIT", WS_EX_CLIENTEDGE,
     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_RIGHT | ES_NUMBER | ES_AUTOHSCROLL,
     editControlId},
    {"BUTTON", 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, buttonControlId},
    {"BUTTON", 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, buttonControlId},
    {"BUTTON", 0, WS_CHILD | WS_VISIBLE | BS_GROUPBOX, groupControlId},
};

enum Font { SystemFont, GuiFont };

constexpr int noLimit = 0;
constexpr int textLimit = 1024;
constexpr int numberLimit = 4;
constexpr int rowHeight = 20;

struct ControlRow {
    HWND* handle;
    ControlKind kind;
    const char* caption; // nullptr: no text
    int x;
    int y; // below the top of its area
    int width;
    int height;
    Font font;
    int limit;
};

// Captions in Shift-JIS. Between the two characters of the button captions stands a full-width
// space, 0x81 0x40.
const char englishCaption[] =
    "\x89\x70\x95\xb6\x82\xf0\x8f\x88\x97\x9d\x82\xb7\x82\xe9"; // 英文を処理する
const char settingsCaption[] = "\x90\xdd\x81\x40\x92\xe8";      // 設　定
const char targetCaption[] = "\x91\xce\x8f\xdb";                // 対象
const char browseCaption[] = "\x8e\x51\x81\x40\x8f\xc6";        // 参　照
const char runCaption[] = "\x8e\xc0\x81\x40\x8d\x73";           // 実　行
const char legendCaption[] = // ♪：文書検索　●：ユーザー単語登録　×：除外
    "\x81\xf4\x81\x46\x95\xb6\x8f\x91\x8c\x9f\x8d\xf5\x81\x40\x81\x9c\x81\x46\x83\x86\x81\x5b\x83"
    "\x55\x81\x5b\x92\x50\x8c\xea\x93\x6f\x98\x5e\x81\x40\x81\x7e\x81\x46\x8f\x9c\x8a\x4f";
const char minBytesCaption[] = // 単語とみなす最低文字数：
    "\x92\x50\x8c\xea\x82\xc6\x82\xdd\x82\xc8\x82\xb7\x8d\xc5\x92\xe1\x95\xb6\x8e\x9a\x90\x94\x81"
    "\x46";
const char hankakuEisuKigoCaption[] =
    "\x94\xbc\x8a\x70\x89\x70\x90\x94\x8b\x4c\x8d\x86"; // 半角英数記号
const char hankakuKatakanaCaption[] =
    "\x94\xbc\x8a\x70\x83\x4a\x83\x5e\x83\x4a\x83\x69"; // 半角カタカナ
const char zenkakuEisuKigoCaption[] =
    "\x91\x53\x8a\x70\x89\x70\x90\x94\x8b\x4c\x8d\x86"; // 全角英数記号
const char zenkakuHiraganaCaption[] =
    "\x91\x53\x8a\x70\x82\xd0\x82\xe7\x82\xaa\x82\xc8"; // 全角ひらがな
const char zenkakuKatakanaCaption[] =
    "\x91\x53\x8a\x70\x83\x4a\x83\x5e\x83\x4a\x83\x69"; // 全角カタカナ
const char kanjiCaption[] = "\x8a\xbf\x8e\x9a";         // 漢字
const char toDoubleCaption[] =                          // 半角カナ→全角カナ
    "\x94\xbc\x8a\x70\x83\x4a\x83\x69\x81\xa8\x91\x53\x8a\x70\x83\x4a\x83\x69";
const char toUpperCaption[] = // 英小文字→英大文字
    "\x89\x70\x8f\xac\x95\xb6\x8e\x9a\x81\xa8\x89\x70\x91\xe5\x95\xb6\x8e\x9a";
const char minCountCaption[] = // ログに出力する最低出現件数：
    "\x83\x8d\x83\x4f\x82\xc9\x8f\x6f\x97\xcd\x82\xb7\x82\xe9\x8d\xc5\x92\xe1\x8f\x6f\x8c\xbb\x8c"
    "\x8f\x90\x94\x81\x46";
const char applyCaption[] = "\x93\x4b\x81\x40\x97\x70";  // 適　用
const char cancelCaption[] = "\x8e\xe6\x81\x40\x8f\xc1"; // 取　消
const char searchCaption[] = "\x81\xf4";                 // ♪
const char userWordCaption[] = "\x81\x9c";               // ●
const char ignoreCaption[] = "\x81\x7e";                 // ×

const ControlRow targetAreaRows[] = {
    {&englishCheck, CheckBox, englishCaption, 50, 10, 120, 20, GuiFont, noLimit},
    {&settingsButton, PushButton, settingsCaption, 400, 10, 60, 20, GuiFont, noLimit},
    {&targetLabel, CenteredStatic, targetCaption, 10, 40, 40, 20, SystemFont, noLimit},
    {&targetEdit, TextEdit, nullptr, 50, 40, 290, 20, GuiFont, textLimit},
    {&browseButton, PushButton, browseCaption, 340, 40, 60, 20, GuiFont, noLimit},
    {&runButton, PushButton, runCaption, 400, 40, 60, 20, GuiFont, noLimit},
    {&legendLabel, RightStatic, legendCaption, 210, 70, 240, 20, GuiFont, noLimit},
};

// Placed below the keyword grid: y counts from settingsPanelTop(). The labels stand 5 pixels
// below their fields and end where the fields begin. The second line reads 全角英数記号,
// 全角カタカナ, 全角ひらがな, so classes 4 and 3 are created in that order.
const ControlRow settingsPanelRows[] = {
    {&settingsGroup, GroupBox, nullptr, 10, 100, 450, 160, SystemFont, noLimit},
    {&minBytesLabel, LeftStatic, minBytesCaption, 20, 120, 140, 20, GuiFont, noLimit},
    {&classLabels[0], RightStatic, hankakuEisuKigoCaption, 30, 145, 80, 20, GuiFont, noLimit},
    {&classLabels[1], RightStatic, hankakuKatakanaCaption, 150, 145, 80, 20, GuiFont, noLimit},
    {&classLabels[2], RightStatic, zenkakuEisuKigoCaption, 30, 165, 80, 20, GuiFont, noLimit},
    {&classLabels[4], RightStatic, zenkakuKatakanaCaption, 150, 165, 80, 20, GuiFont, noLimit},
    {&classLabels[3], RightStatic, zenkakuHiraganaCaption, 270, 165, 80, 20, GuiFont, noLimit},
    {&classLabels[5], RightStatic, kanjiCaption, 30, 185, 80, 20, GuiFont, noLimit},
    {&minBytesEdits[0], NumberEdit, nullptr, 110, 140, 40, 20, GuiFont, numberLimit},
    {&minBytesEdits[1], NumberEdit, nullptr, 230, 140, 40, 20, GuiFont, numberLimit},
    {&minBytesEdits[2], NumberEdit, nullptr, 110, 160, 40, 20, GuiFont, numberLimit},
    {&minBytesEdits[4], NumberEdit, nullptr, 230, 160, 40, 20, GuiFont, numberLimit},
    {&minBytesEdits[3], NumberEdit, nullptr, 350, 160, 40, 20, GuiFont, numberLimit},
    {&minBytesEdits[5], NumberEdit, nullptr, 110, 180, 40, 20, GuiFont, numberLimit},
    {&toDoubleCheck, CheckBox, toDoubleCaption, 170, 180, 120, 20, GuiFont, noLimit},
    {&toUpperCheck, CheckBox, toUpperCaption, 290, 180, 130, 20, GuiFont, noLimit},
    {&minCountLabel, LeftStatic, minCountCaption, 20, 215, 160, 20, GuiFont, noLimit},
    {&minCountEdit, NumberEdit, nullptr, 180, 210, 40, 20, GuiFont, numberLimit},
    {&applyButton, PushButton, applyCaption, 320, 230, 60, 20, GuiFont, noLimit},
    {&cancelButton, PushButton, cancelCaption, 390, 230, 60, 20, GuiFont, noLimit},
};

struct GridColumn {
    HWND* handles;
    ControlKind kind;
    const char* caption; // the rank labels show their rank instead
    int xLeft;
    int xRight;
    int width;
    Font font;
    int limit;
};

// One creation pass per column, in this order.
const GridColumn gridColumns[] = {
    {rankLabels, RightStatic, nullptr, 20, 240, 30, SystemFont, noLimit},
    {keywordEdits, TextEdit, nullptr, 50, 270, 90, GuiFont, textLimit},
    {countEdits, NumberEdit, nullptr, 140, 360, 30, GuiFont, noLimit},
    {searchButtons, PushButton, searchCaption, 170, 390, 20, GuiFont, noLimit},
    {userWordButtons, PushButton, userWordCaption, 190, 410, 20, GuiFont, noLimit},
    {ignoreButtons, PushButton, ignoreCaption, 210, 430, 20, GuiFont, noLimit},
};

constexpr int gridTop = 90;

// The control that had the focus when the window was last deactivated, by a message box say.
HWND focusBeforeDeactivation;

// Rows of the left column as the heights count them; the right column holds the rest, one more
// when the count is odd. A single row, though, stands in the left column.
int leftColumnRows() {
    return keywordRowsShown() / 2;
}

int settingsPanelTop() {
    return leftColumnRows() * rowHeight + 20;
}

HWND createControl(HWND parent, ControlKind kind, const char* caption, int x, int y, int width,
                   int height, Font font, int limit) {
    const KindStyle& kindStyle = kindStyles[kind];
    HWND control = CreateWindowExA(
        kindStyle.extendedStyle, kindStyle.className, caption, kindStyle.style, x, y, width, height,
        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kindStyle.identifier)), appInstance,
        nullptr);
    if (font == GuiFont)
        SendMessageA(control, WM_SETFONT,
                     reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    if (limit != noLimit) SendMessageA(control, EM_LIMITTEXT, limit, 0);
    return control;
}

template <size_t count> void createControls(HWND parent, const ControlRow (&rows)[count], int top) {
    for (const ControlRow& row : rows)
        *row.handle = createControl(parent, row.kind, row.caption, row.x, top + row.y, row.width,
                                    row.height, row.font, row.limit);
}

void createKeywordGrid(HWND parent) {
    int rows = keywordRowsShown();
    int left = leftColumnRows();
    for (const GridColumn& column : gridColumns) {
        for (int i = 0; i < rows; ++i) {
            char rank[16] = {};
            std::snprintf(rank, sizeof rank, "%u ", static_cast<unsigned>(i + 1));
            const char* caption = column.handles == rankLabels ? rank : column.caption;
            bool inLeftColumn = i < left || rows == 1;
            int x = inLeftColumn ? column.xLeft : column.xRight;
            int y = gridTop + rowHeight * (inLeftColumn ? i : i - left);
            column.handles[i] = createControl(parent, column.kind, caption, x, y, column.width,
                                              rowHeight, column.font, column.limit);
        }
    }
}

void acceptDroppedFilesOnTargetEdit() {
    DragAcceptFiles(targetEdit, TRUE);
    oldTargetEditProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(targetEdit, GWLP_WNDPROC));
    SetWindowLongPtrA(targetEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(targetEditProc));
}

void onCreate(HWND window) {
    // The settings panel's functions below already refer to mainWindow.
    mainWindow = window;
    focusBeforeDeactivation = nullptr;
    createControls(window, targetAreaRows, 0);
    acceptDroppedFilesOnTargetEdit();
    createKeywordGrid(window);
    createControls(window, settingsPanelRows, settingsPanelTop());
    showSettings();
    enableSettingsPanel(false);
}

// Statics, check boxes, the group box and disabled edit boxes draw over the window's grey.
LRESULT onCtlColorStatic(HDC deviceContext) {
    SetBkMode(deviceContext, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

// As in a dialog box, the focus comes back to where it was; the first time, in the normal state,
// that is the target box.
void onActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(mainWindow, focus)) focusBeforeDeactivation = focus;
        return;
    }
    bool minimized = HIWORD(wParam) != 0;
    if (minimized) return;
    HWND focus = focusBeforeDeactivation;
    if (!focus || !IsWindowEnabled(focus))
        focus = IsWindowEnabled(targetEdit) ? targetEdit : minBytesEdits[0];
    SetFocus(focus);
}

// Only the first of several dropped files counts; the path is taken as it is.
void onDropFiles(HDROP drop) {
    char path[1024] = {};
    DragQueryFileA(drop, 0, path, sizeof path);
    SetWindowTextA(targetEdit, path);
    DragFinish(drop);
}

} // namespace

int keywordRowsShown() {
    return appSettings.keywordCounts > 0 ? appSettings.keywordCounts : 0;
}

int mainWindowHeight() {
    return leftColumnRows() * rowHeight + 320;
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        onCreate(window);
        return 0;
    case WM_ACTIVATE:
        onActivate(wParam);
        return 0;
    case WM_CTLCOLORSTATIC:
        return onCtlColorStatic(reinterpret_cast<HDC>(wParam));
    case WM_COMMAND:
        // Every push button and check box carries the same identifier; the handle tells them apart.
        if (LOWORD(wParam) != buttonControlId) break;
        onCommand(reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_CLOSE:
        onClose();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK targetEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DROPFILES) {
        onDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    }
    return CallWindowProcA(oldTargetEditProc, window, message, wParam, lParam);
}
