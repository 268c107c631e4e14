#include "main_window.h"

#include "commands.h"
#include "controls.h"
#include "keyword_rows.h"
#include "settings.h"
#include "settings_panel.h"
#include "texts.h"

#include <shellapi.h>

#include <cstdio>

namespace {

// Controls are told apart by handle; the identifier only names the kind.
constexpr int staticControlId = 100;
constexpr int editControlId = 101;
constexpr int buttonControlId = 102;
constexpr int groupControlId = 200;

constexpr int mainWindowWidth = 480;

enum class Kind {
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
    const wchar_t* className;
    DWORD extendedStyle;
    DWORD style;
    int identifier;
};

// Indexed by Kind.
const KindStyle kindStyles[] = {
    {L"STATIC", 0, WS_CHILD | WS_VISIBLE | SS_LEFT, staticControlId},
    {L"STATIC", 0, WS_CHILD | WS_VISIBLE | SS_CENTER, staticControlId},
    {L"STATIC", 0, WS_CHILD | WS_VISIBLE | SS_RIGHT, staticControlId},
    {L"EDIT", WS_EX_CLIENTEDGE,
     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, editControlId},
    {L"EDIT", WS_EX_CLIENTEDGE,
     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_RIGHT | ES_NUMBER | ES_AUTOHSCROLL,
     editControlId},
    {L"BUTTON", 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, buttonControlId},
    {L"BUTTON", 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, buttonControlId},
    {L"BUTTON", 0, WS_CHILD | WS_VISIBLE | BS_GROUPBOX, groupControlId},
};

enum class Font { System, Gui };

constexpr int noLimit = 0;
constexpr int textLimit = 1024;
constexpr int numberLimit = 4;
constexpr int rowHeight = 20;

struct ControlRow {
    HWND* handle;
    Kind kind;
    const char* caption; // nullptr: no text
    int x;
    int y; // below the top of its area
    int width;
    int height;
    Font font;
    int limit;
};

const ControlRow targetAreaRows[] = {
    {&englishCheck, Kind::CheckBox, englishCaption, 50, 10, 120, 20, Font::Gui, noLimit},
    {&settingsButton, Kind::PushButton, settingsCaption, 400, 10, 60, 20, Font::Gui, noLimit},
    {&targetLabel, Kind::CenteredStatic, targetCaption, 10, 40, 40, 20, Font::System, noLimit},
    {&targetEdit, Kind::TextEdit, nullptr, 50, 40, 290, 20, Font::Gui, textLimit},
    {&browseButton, Kind::PushButton, browseCaption, 340, 40, 60, 20, Font::Gui, noLimit},
    {&runButton, Kind::PushButton, runCaption, 400, 40, 60, 20, Font::Gui, noLimit},
    {&legendLabel, Kind::RightStatic, legendCaption, 210, 70, 240, 20, Font::Gui, noLimit},
};

// Placed below the keyword grid: y counts from settingsPanelTop(). The labels stand 5 pixels
// below their fields and end where the fields begin. The second line reads 全角英数記号,
// 全角カタカナ, 全角ひらがな, so classes 4 and 3 are created in that order.
const ControlRow settingsPanelRows[] = {
    {&settingsGroup, Kind::GroupBox, nullptr, 10, 100, 450, 160, Font::System, noLimit},
    {&minBytesLabel, Kind::LeftStatic, minBytesCaption, 20, 120, 140, 20, Font::Gui, noLimit},
    {&classLabels[0], Kind::RightStatic, classCaptions[0], 30, 145, 80, 20, Font::Gui, noLimit},
    {&classLabels[1], Kind::RightStatic, classCaptions[1], 150, 145, 80, 20, Font::Gui, noLimit},
    {&classLabels[2], Kind::RightStatic, classCaptions[2], 30, 165, 80, 20, Font::Gui, noLimit},
    {&classLabels[4], Kind::RightStatic, classCaptions[4], 150, 165, 80, 20, Font::Gui, noLimit},
    {&classLabels[3], Kind::RightStatic, classCaptions[3], 270, 165, 80, 20, Font::Gui, noLimit},
    {&classLabels[5], Kind::RightStatic, classCaptions[5], 30, 185, 80, 20, Font::Gui, noLimit},
    {&minBytesEdits[0], Kind::NumberEdit, nullptr, 110, 140, 40, 20, Font::Gui, numberLimit},
    {&minBytesEdits[1], Kind::NumberEdit, nullptr, 230, 140, 40, 20, Font::Gui, numberLimit},
    {&minBytesEdits[2], Kind::NumberEdit, nullptr, 110, 160, 40, 20, Font::Gui, numberLimit},
    {&minBytesEdits[4], Kind::NumberEdit, nullptr, 230, 160, 40, 20, Font::Gui, numberLimit},
    {&minBytesEdits[3], Kind::NumberEdit, nullptr, 350, 160, 40, 20, Font::Gui, numberLimit},
    {&minBytesEdits[5], Kind::NumberEdit, nullptr, 110, 180, 40, 20, Font::Gui, numberLimit},
    {&toFullWidthCheck, Kind::CheckBox, toFullWidthCaption, 170, 180, 120, 20, Font::Gui, noLimit},
    {&toUpperCheck, Kind::CheckBox, toUpperCaption, 290, 180, 130, 20, Font::Gui, noLimit},
    {&minCountLabel, Kind::LeftStatic, minCountCaption, 20, 215, 160, 20, Font::Gui, noLimit},
    {&minCountEdit, Kind::NumberEdit, nullptr, 180, 210, 40, 20, Font::Gui, numberLimit},
    {&applyButton, Kind::PushButton, applyCaption, 320, 230, 60, 20, Font::Gui, noLimit},
    {&cancelButton, Kind::PushButton, cancelCaption, 390, 230, 60, 20, Font::Gui, noLimit},
};

struct GridColumn {
    HWND* handles;
    Kind kind;
    const char* caption; // the rank labels show their rank instead
    int xLeft;
    int xRight;
    int width;
    Font font;
    int limit;
};

// One creation pass per column, in this order.
const GridColumn gridColumns[] = {
    {rankLabels, Kind::RightStatic, nullptr, 20, 240, 30, Font::System, noLimit},
    {keywordEdits, Kind::TextEdit, nullptr, 50, 270, 90, Font::Gui, textLimit},
    {countEdits, Kind::NumberEdit, nullptr, 140, 360, 30, Font::Gui, noLimit},
    {searchButtons, Kind::PushButton, searchCaption, 170, 390, 20, Font::Gui, noLimit},
    {userWordButtons, Kind::PushButton, userWordCaption, 190, 410, 20, Font::Gui, noLimit},
    {excludeButtons, Kind::PushButton, excludeCaption, 210, 430, 20, Font::Gui, noLimit},
};

constexpr int gridTop = 90;

// The control that had the focus when the window was last deactivated, by a message box say.
HWND focusBeforeDeactivation;

WNDPROC oldTargetEditProc;

// Rows of the left column as the heights count them; the right column holds the rest, one more
// when the count is odd. A single row, though, stands in the left column.
int leftColumnRows() {
    return keywordRowsShown() / 2;
}

int settingsPanelTop() {
    return leftColumnRows() * rowHeight + 20;
}

HWND createControl(HWND parent, Kind kind, const char* caption, int x, int y, int width, int height,
                   Font font, int limit) {
    const KindStyle& kindStyle = kindStyles[static_cast<int>(kind)];
    HWND control = CreateWindowExW(
        kindStyle.extendedStyle, kindStyle.className, caption ? wideText(caption).c_str() : nullptr,
        kindStyle.style, x, y, width, height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kindStyle.identifier)), appInstance, nullptr);
    if (font == Font::Gui)
        SendMessageW(control, WM_SETFONT,
                     reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    if (limit != noLimit) SendMessageW(control, EM_LIMITTEXT, limit, 0);
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

// Only the first of several dropped files counts; the path is taken as it is.
void onDropFiles(HDROP drop) {
    wchar_t path[1024] = {};
    DragQueryFileW(drop, 0, path, 1024);
    SetWindowTextW(targetEdit, path);
    DragFinish(drop);
}

// Takes a file dropped from the shell into targetEdit; everything else goes to the edit box.
LRESULT CALLBACK targetEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DROPFILES) {
        onDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    }
    return CallWindowProcW(oldTargetEditProc, window, message, wParam, lParam);
}

void acceptDroppedFilesOnTargetEdit() {
    DragAcceptFiles(targetEdit, TRUE);
    oldTargetEditProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(targetEdit, GWLP_WNDPROC));
    SetWindowLongPtrW(targetEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(targetEditProc));
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

// A push button or check box was clicked; the sender is told by its handle. The check boxes
// change only their own tick, which is read when it is needed.
void onCommand(HWND sender) {
    if (sender == settingsButton) return onSettingsButton();
    if (sender == browseButton) return onBrowseButton();
    if (sender == runButton) return onRunButton();
    if (sender == applyButton) return onApplyButton();
    if (sender == cancelButton) return onCancelButton();
    for (int i = 0; i < keywordRowsShown(); ++i) {
        if (sender == searchButtons[i]) return onSearchButton(i);
        if (sender == userWordButtons[i]) return registerUserWord(i);
        if (sender == excludeButtons[i]) return registerExcludedWord(i);
    }
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
    return DefWindowProcW(window, message, wParam, lParam);
}

// The outer height grows by 20 pixels for every two keyword rows.
int mainWindowHeight() {
    return leftColumnRows() * rowHeight + 320;
}

} // namespace

bool registerMainWindowClass(HINSTANCE instance) {
    static const std::wstring className = wideText(appTitle);
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, L"MYICON");
    windowClass.hCursor =
        static_cast<HCURSOR>(LoadImageW(nullptr, MAKEINTRESOURCEW(32512), IMAGE_CURSOR, 0, 0,
                                        LR_DEFAULTSIZE | LR_SHARED)); // IDC_ARROW
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszClassName = className.c_str();
    return RegisterClassExW(&windowClass) != 0;
}

int createMainWindow(HINSTANCE instance, int showCommand) {
    const std::wstring title = wideText(appTitle);
    mainWindow = CreateWindowExW(
        0, title.c_str(), title.c_str(), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
        CW_USEDEFAULT, mainWindowWidth, mainWindowHeight(), nullptr, nullptr, instance, nullptr);
    if (!mainWindow) return 0;
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);
    return 1;
}
