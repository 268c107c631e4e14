#include "message_boxes.h"

#include "main_window.h"
#include "settings.h"
#include "settings_panel.h"
#include "startup.h"
#include "test_window.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>

namespace {

struct Kind {
    const char* className;
    DWORD style;
    DWORD extendedStyle;
    int identifier;
};

constexpr DWORD shown = WS_CHILD | WS_VISIBLE;
const Kind leftStatic = {"Static", shown | SS_LEFT, 0, 100};
const Kind centredStatic = {"Static", shown | SS_CENTER, 0, 100};
const Kind rightStatic = {"Static", shown | SS_RIGHT, 0, 100};
const Kind textEdit = {"Edit", shown | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL,
                       WS_EX_CLIENTEDGE, 101};
const Kind numberEdit = {"Edit",
                         shown | WS_BORDER | WS_TABSTOP | ES_RIGHT | ES_NUMBER | ES_AUTOHSCROLL,
                         WS_EX_CLIENTEDGE, 101};
const Kind pushButton = {"Button", shown | WS_TABSTOP | BS_PUSHBUTTON, 0, 102};
const Kind checkBox = {"Button", shown | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 102};
const Kind groupBox = {"Button", shown | BS_GROUPBOX, 0, 200};

enum Font { SystemFont, GuiFont };
constexpr int defaultLimit = -1;

struct Expected {
    HWND handle;
    Kind kind;
    std::string caption;
    int x, y, width, height;
    Font font;
    int limit;
};

// The last twenty controls are the settings panel, disabled after creation.
constexpr size_t panelControls = 20;

// The window's controls in creation order, as the design lays them out for `rows` keyword rows.
std::vector<Expected> expectedControls(int rows) {
    rows = std::max(rows, 0);
    int half = rows / 2;
    int b = half * 20 + 20;
    std::vector<Expected> controls = {
        {englishCheck, checkBox, sjis(u8"英文を処理する"), 50, 10, 120, 20, GuiFont, defaultLimit},
        {settingsButton, pushButton, sjis(u8"設　定"), 400, 10, 60, 20, GuiFont, defaultLimit},
        {targetLabel, centredStatic, sjis(u8"対象"), 10, 40, 40, 20, SystemFont, defaultLimit},
        {targetEdit, textEdit, "", 50, 40, 290, 20, GuiFont, 1024},
        {browseButton, pushButton, sjis(u8"参　照"), 340, 40, 60, 20, GuiFont, defaultLimit},
        {runButton, pushButton, sjis(u8"実　行"), 400, 40, 60, 20, GuiFont, defaultLimit},
        {legendLabel, rightStatic, sjis(u8"♪：文書検索　●：ユーザー単語登録　×：除外"), 210, 70,
         240, 20, GuiFont, defaultLimit},
    };
    struct Column {
        HWND* handles;
        Kind kind;
        const char* caption;
        int xLeft, xRight, width;
        Font font;
        int limit;
    };
    const Column columns[] = {
        {rankLabels, rightStatic, nullptr, 20, 240, 30, SystemFont, defaultLimit},
        {keywordEdits, textEdit, u8"", 50, 270, 90, GuiFont, 1024},
        {countEdits, numberEdit, u8"", 140, 360, 30, GuiFont, defaultLimit},
        {searchButtons, pushButton, u8"♪", 170, 390, 20, GuiFont, defaultLimit},
        {userWordButtons, pushButton, u8"●", 190, 410, 20, GuiFont, defaultLimit},
        {ignoreButtons, pushButton, u8"×", 210, 430, 20, GuiFont, defaultLimit},
    };
    for (const Column& column : columns) {
        for (int i = 0; i < rows; ++i) {
            bool left = i < half;
            std::string caption =
                column.caption ? sjis(column.caption) : std::to_string(i + 1) + " ";
            controls.push_back(
                {column.handles[i], column.kind, caption, left ? column.xLeft : column.xRight,
                 90 + 20 * (left ? i : i - half), column.width, 20, column.font, column.limit});
        }
    }
    // Its fields show the settings, all zero in these tests.
    std::vector<Expected> panel = {
        {settingsGroup, groupBox, "", 10, b + 100, 450, 160, SystemFont, defaultLimit},
        {minBytesLabel, leftStatic, sjis(u8"単語とみなす最低文字数："), 20, b + 120, 140, 20,
         GuiFont, defaultLimit},
        {classLabels[0], rightStatic, sjis(u8"半角英数記号"), 30, b + 145, 80, 20, GuiFont,
         defaultLimit},
        {classLabels[1], rightStatic, sjis(u8"半角カタカナ"), 150, b + 145, 80, 20, GuiFont,
         defaultLimit},
        {classLabels[2], rightStatic, sjis(u8"全角英数記号"), 30, b + 165, 80, 20, GuiFont,
         defaultLimit},
        {classLabels[4], rightStatic, sjis(u8"全角カタカナ"), 150, b + 165, 80, 20, GuiFont,
         defaultLimit},
        {classLabels[3], rightStatic, sjis(u8"全角ひらがな"), 270, b + 165, 80, 20, GuiFont,
         defaultLimit},
        {classLabels[5], rightStatic, sjis(u8"漢字"), 30, b + 185, 80, 20, GuiFont, defaultLimit},
        {minBytesEdits[0], numberEdit, "0", 110, b + 140, 40, 20, GuiFont, 4},
        {minBytesEdits[1], numberEdit, "0", 230, b + 140, 40, 20, GuiFont, 4},
        {minBytesEdits[2], numberEdit, "0", 110, b + 160, 40, 20, GuiFont, 4},
        {minBytesEdits[4], numberEdit, "0", 230, b + 160, 40, 20, GuiFont, 4},
        {minBytesEdits[3], numberEdit, "0", 350, b + 160, 40, 20, GuiFont, 4},
        {minBytesEdits[5], numberEdit, "0", 110, b + 180, 40, 20, GuiFont, 4},
        {toDoubleCheck, checkBox, sjis(u8"半角カナ→全角カナ"), 170, b + 180, 120, 20, GuiFont,
         defaultLimit},
        {toUpperCheck, checkBox, sjis(u8"英小文字→英大文字"), 290, b + 180, 130, 20, GuiFont,
         defaultLimit},
        {minCountLabel, leftStatic, sjis(u8"ログに出力する最低出現件数："), 20, b + 215, 160, 20,
         GuiFont, defaultLimit},
        {minCountEdit, numberEdit, "0", 180, b + 210, 40, 20, GuiFont, 4},
        {applyButton, pushButton, sjis(u8"適　用"), 320, b + 230, 60, 20, GuiFont, defaultLimit},
        {cancelButton, pushButton, sjis(u8"取　消"), 390, b + 230, 60, 20, GuiFont, defaultLimit},
    };
    controls.insert(controls.end(), panel.begin(), panel.end());
    return controls;
}

std::vector<HWND> childrenInCreationOrder(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

RECT clientRect(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, mainWindow, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int limitOf(HWND edit) {
    return static_cast<int>(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0));
}

class MainWindow : public testing::Test {
  protected:
    void open(const AppSettings& settings) { ASSERT_TRUE(openMainWindow(settings)); }

    void open(int keywordCounts) {
        AppSettings settings = {};
        settings.keywordCounts = keywordCounts;
        open(settings);
    }

    void TearDown() override { closeMainWindow(); }
};

class Layout : public MainWindow, public testing::WithParamInterface<int> {};

TEST_P(Layout, EveryControlStandsWhereTheDesignPutsIt) {
    const int rows = GetParam();
    open(rows);

    RECT outer;
    GetWindowRect(mainWindow, &outer);
    EXPECT_EQ(outer.right - outer.left, 480);
    EXPECT_EQ(outer.bottom - outer.top, std::max(rows, 0) / 2 * 20 + 320);

    HWND plainEdit = CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 10, 10, mainWindow, nullptr,
                                     appInstance, nullptr);
    const int unlimited = limitOf(plainEdit);
    DestroyWindow(plainEdit);

    std::vector<Expected> expected = expectedControls(rows);
    std::vector<HWND> children = childrenInCreationOrder(mainWindow);
    ASSERT_EQ(children.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Expected& want = expected[i];
        HWND control = children[i];
        SCOPED_TRACE("control " + std::to_string(i) + " " + want.kind.className + " \"" +
                     want.caption + "\"");
        ASSERT_EQ(control, want.handle);
        char className[64] = {};
        GetClassNameA(control, className, sizeof className);
        EXPECT_EQ(lstrcmpiA(className, want.kind.className), 0) << className;
        EXPECT_EQ(windowText(control), want.caption);
        RECT rect = clientRect(control);
        EXPECT_EQ(rect.left, want.x);
        EXPECT_EQ(rect.top, want.y);
        EXPECT_EQ(rect.right - rect.left, want.width);
        EXPECT_EQ(rect.bottom - rect.top, want.height);
        DWORD style = GetWindowLongA(control, GWL_STYLE);
        bool inPanel = i >= expected.size() - panelControls;
        EXPECT_EQ(style, want.kind.style | (inPanel ? WS_DISABLED : 0));
        DWORD extended = GetWindowLongA(control, GWL_EXSTYLE);
        EXPECT_EQ(extended & WS_EX_CLIENTEDGE, want.kind.extendedStyle);
        EXPECT_EQ((extended & WS_EX_ACCEPTFILES) != 0, control == targetEdit);
        EXPECT_EQ(GetDlgCtrlID(control), want.kind.identifier);
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0));
        EXPECT_EQ(font, want.font == GuiFont ? GetStockObject(DEFAULT_GUI_FONT) : nullptr);
        if (want.kind.identifier == 101) {
            EXPECT_EQ(limitOf(control), want.limit == defaultLimit ? unlimited : want.limit);
        }
    }

    for (HWND* handles :
         {rankLabels, keywordEdits, countEdits, searchButtons, userWordButtons, ignoreButtons})
        for (int i = 0; i < maxKeywordCounts; ++i)
            EXPECT_EQ(handles[i] != nullptr, i < rows) << "row " << i;
}

TEST_P(Layout, TabVisitsTheEnabledControlsInCreationOrder) {
    open(GetParam());
    std::vector<Expected> controls = expectedControls(GetParam());
    controls.resize(controls.size() - panelControls);
    std::vector<HWND> expected;
    for (const Expected& control : controls)
        if (control.kind.style & WS_TABSTOP) expected.push_back(control.handle);

    std::vector<HWND> visited;
    HWND first = GetNextDlgTabItem(mainWindow, nullptr, FALSE);
    HWND control = first;
    do {
        visited.push_back(control);
        control = GetNextDlgTabItem(mainWindow, control, FALSE);
    } while (control && control != first && visited.size() <= expected.size());
    EXPECT_EQ(visited, expected);
}

INSTANTIATE_TEST_SUITE_P(KeywordCounts, Layout, testing::Values(0, 1, 7, 10, 11, 50, -4),
                         [](const testing::TestParamInfo<int>& info) {
                             return info.param < 0 ? "minus" + std::to_string(-info.param)
                                                   : std::to_string(info.param);
                         });

TEST_F(MainWindow, ThePanelShowsTheSettingsDisabledAndTheRestIsEnabled) {
    AppSettings settings = {{1, 2, 7, -3, 8, 9}, 5, 10, 2, 1};
    open(settings);
    struct Field {
        HWND edit;
        const char* text;
    };
    // Full-width lengths show in characters, truncated toward zero.
    const Field fields[] = {{minBytesEdits[0], "1"}, {minBytesEdits[1], "2"},
                            {minBytesEdits[2], "3"}, {minBytesEdits[3], "-1"},
                            {minBytesEdits[4], "4"}, {minBytesEdits[5], "4"},
                            {minCountEdit, "5"}};
    for (const Field& field : fields) EXPECT_EQ(windowText(field.edit), field.text);
    // Only exactly 1 ticks a box.
    EXPECT_EQ(SendMessageA(toDoubleCheck, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(toUpperCheck, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(englishCheck, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

// A file list as the shell hands it over: DROPFILES, then NUL-terminated paths and one more NUL.
HGLOBAL dropBlock(const std::vector<std::string>& paths) {
    std::string list;
    for (const std::string& path : paths) list += path + '\0';
    list += '\0';
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(block);
    return block;
}

TEST_F(MainWindow, ADropOnTheTargetBoxTakesTheFirstPathOnly) {
    open(10);
    SetWindowTextA(targetEdit, "typed before");
    const std::string first = sjis(u8"C:\\資料\\ソース一.txt");
    SendMessageA(targetEdit, WM_DROPFILES,
                 reinterpret_cast<WPARAM>(dropBlock({first, "C:\\b.txt", "C:\\c"})), 0);
    EXPECT_EQ(windowText(targetEdit), first);
}

TEST_F(MainWindow, ADropElsewhereChangesNothing) {
    open(10);
    SetWindowTextA(targetEdit, "kept");
    for (HWND elsewhere : {keywordEdits[0], mainWindow}) {
        HGLOBAL block = dropBlock({"C:\\dropped.txt"});
        SendMessageA(elsewhere, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
        GlobalFree(block);
    }
    EXPECT_EQ(windowText(targetEdit), "kept");
    EXPECT_EQ(windowText(keywordEdits[0]), "");
}

TEST_F(MainWindow, NumberBoxesRefuseLettersAndSettingsFieldsAFifthDigit) {
    open(10);
    enableSettingsPanel(true);
    struct Typing {
        HWND edit;
        const char* typed;
        const char* shown;
    };
    const Typing typings[] = {
        {countEdits[0], "a7b", "7"},         {countEdits[9], "123456", "123456"},
        {minBytesEdits[3], "12345", "1234"}, {minBytesEdits[5], "x9-", "9"},
        {minCountEdit, "9876x5", "9876"},
    };
    for (const Typing& typing : typings) {
        SetWindowTextA(typing.edit, "");
        for (const char* c = typing.typed; *c; ++c) SendMessageA(typing.edit, WM_CHAR, *c, 0);
        EXPECT_EQ(windowText(typing.edit), typing.shown) << "typed " << typing.typed;
    }
}

TEST_F(MainWindow, StaticsDrawTransparentlyOverTheWindow) {
    open(10);
    HDC deviceContext = GetDC(targetLabel);
    SetBkMode(deviceContext, OPAQUE);
    LRESULT brush =
        SendMessageA(mainWindow, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(deviceContext),
                     reinterpret_cast<LPARAM>(targetLabel));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetBkMode(deviceContext), TRANSPARENT);
    ReleaseDC(targetLabel, deviceContext);
}

} // namespace
