// The main window in this process: how its controls stand for any number of keyword rows, the
// tab order, drops on the target box and the number boxes.

#include "message_boxes.h"

#include "app_files.h"
#include "controls.h"
#include "main_window.h"
#include "settings_panel.h"
#include "startup.h"
#include "test_window.h"
#include "texts.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>

namespace {

std::vector<HWND> childrenInCreationOrder() {
    std::vector<HWND> children;
    for (HWND child = GetWindow(mainWindow, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

bool isLabel(HWND control) {
    char name[16] = {};
    GetClassNameA(control, name, sizeof name);
    return lstrcmpiA(name, "Static") == 0;
}

RECT rectOf(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, mainWindow, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

class MainWindow : public testing::Test {
  protected:
    void open(int keywordCounts) {
        AppSettings settings = {};
        settings.keywordCounts = keywordCounts;
        ASSERT_TRUE(openMainWindow(settings));
    }

    void TearDown() override { closeMainWindow(); }
};

class Layout : public MainWindow, public testing::WithParamInterface<int> {};

// The rows fill the left column with half of them and the right one with the rest, but a single
// row stands on the left; the window grows by 20 pixels for every two rows, and the settings panel
// stands below them. No box or button overlaps another; the panel's frame holds the panel.
TEST_P(Layout, TheRowsAndThePanelStandInTheirPlacesWithoutOverlap) {
    const int rows = GetParam(), half = std::max(rows, 0) / 2;
    open(rows);
    RECT outer;
    GetWindowRect(mainWindow, &outer);
    EXPECT_EQ(outer.right - outer.left, 480);
    EXPECT_EQ(outer.bottom - outer.top, half * 20 + 320);

    const HWND* columns[] = {rankLabels,    keywordEdits,    countEdits,
                             searchButtons, userWordButtons, excludeButtons};
    const char* captions[] = {nullptr, "", "", u8"♪", u8"●", u8"×"};
    const int leftX[] = {20, 50, 140, 170, 190, 210};
    for (int i = 0; i < maxKeywordCounts; ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        bool left = i < half || rows == 1;
        for (int c = 0; c < 6; ++c) {
            ASSERT_EQ(columns[c][i] != nullptr, i < std::max(rows, 0));
            if (i >= rows) continue;
            RECT rect = rectOf(columns[c][i]);
            EXPECT_EQ(rect.left, leftX[c] + (left ? 0 : 220));
            EXPECT_EQ(rect.top, 90 + 20 * (left ? i : i - half));
            EXPECT_EQ(windowText(columns[c][i]),
                      captions[c] ? sjis(captions[c]) : std::to_string(i + 1) + " ");
        }
    }
    if (rows > 0) {
        EXPECT_EQ(SendMessageA(keywordEdits[rows - 1], EM_GETLIMITTEXT, 0, 0), 1024);
    }
    EXPECT_EQ(SendMessageA(targetEdit, EM_GETLIMITTEXT, 0, 0), 1024);
    EXPECT_EQ(rectOf(settingsGroup).top, half * 20 + 120);

    // Each field of the panel stands right of its label, which stands 5 pixels lower.
    const char* classes[] = {u8"半角英数記号", u8"半角カタカナ", u8"全角英数記号",
                             u8"全角ひらがな", u8"全角カタカナ", u8"漢字"};
    for (int i = 0; i <= 6; ++i) {
        HWND label = i < 6 ? classLabels[i] : minCountLabel;
        HWND field = i < 6 ? minBytesEdits[i] : minCountEdit;
        if (i < 6) {
            EXPECT_EQ(windowText(label), sjis(classes[i]));
        }
        EXPECT_EQ(rectOf(label).right, rectOf(field).left) << i;
        EXPECT_EQ(rectOf(label).top, rectOf(field).top + 5) << i;
        EXPECT_EQ(SendMessageA(field, EM_GETLIMITTEXT, 0, 0), 4) << i;
    }

    std::vector<HWND> children = childrenInCreationOrder();
    EXPECT_EQ(children.size(), 27u + 6 * std::max(rows, 0));
    RECT frame = rectOf(settingsGroup), overlap;
    for (size_t a = 0; a < children.size(); ++a) {
        RECT rect = rectOf(children[a]);
        bool inPanel = rect.top >= frame.top;
        EXPECT_EQ(IsWindowEnabled(children[a]) == FALSE, inPanel) << a;
        if (children[a] == settingsGroup) continue;
        EXPECT_EQ(IntersectRect(&overlap, &rect, &frame) != FALSE, inPanel) << a;
        for (size_t b = a + 1; b < children.size() && !isLabel(children[a]); ++b) {
            RECT other = rectOf(children[b]);
            if (children[b] != settingsGroup && !isLabel(children[b])) {
                EXPECT_FALSE(IntersectRect(&overlap, &rect, &other)) << a << " and " << b;
            }
        }
    }
}

TEST_P(Layout, TabVisitsTheEnabledControlsInCreationOrder) {
    open(GetParam());
    std::vector<HWND> expected;
    for (HWND control : childrenInCreationOrder())
        if ((GetWindowLongA(control, GWL_STYLE) & WS_TABSTOP) && IsWindowEnabled(control))
            expected.push_back(control);
    ASSERT_EQ(expected.size(), 5u + 5 * std::max(GetParam(), 0));

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

TEST_F(MainWindow, ADropOnTheTargetBoxTakesTheFirstPathOnlyAndADropElsewhereNothing) {
    open(10);
    for (HWND elsewhere : {keywordEdits[0], mainWindow}) {
        HGLOBAL block = dropBlock({"C:\\dropped.txt"});
        SendMessageA(elsewhere, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
        GlobalFree(block);
    }
    EXPECT_EQ(windowText(targetEdit), "");
    EXPECT_EQ(windowText(keywordEdits[0]), "");

    SetWindowTextA(targetEdit, "typed before");
    const std::string first = sjis(u8"C:\\資料\\ソース一.txt");
    SendMessageA(targetEdit, WM_DROPFILES,
                 reinterpret_cast<WPARAM>(dropBlock({first, "C:\\b.txt", "C:\\c"})), 0);
    EXPECT_EQ(windowText(targetEdit), first);
}

TEST_F(MainWindow, NumberBoxesRefuseLettersAndSettingsFieldsAFifthDigit) {
    open(10);
    enableSettingsPanel(true);
    struct Typing {
        HWND edit;
        const char *typed, *shown;
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

} // namespace
