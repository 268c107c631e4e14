// The real tallyon.exe in a folder of its own, worked only through its window as a user works it:
// text typed into its boxes, clicks on its buttons, answers to its message boxes, and the files it
// leaves behind compared byte for byte.

#include "window_support.h"

#include <dlgs.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <memory>
#include <thread>

namespace {

// init.ini as the program saves it: the defaults, or the values in the order of the keys.
std::string settingsFile(std::array<int, 10> v = {0, 0, 0, 0, 0, 0, 0, 0, 0, 10}) {
    char text[1024];
    std::snprintf(
        text, sizeof text,
        "[MinimumBytes]\r\nHANKAKUEISUKIGO = %d\r\nHANKAKUKATAKANA = %d\r\n"
        "ZENKAKUEISUKIGO = %d\r\nZENKAKUHIRAGANA = %d\r\nZENKAKUKATAKANA = %d\r\n"
        "ZENKAKUKANJI = %d\r\n[Convert]\r\nTODOUBLE = %d\r\nTOUPPER = %d\r\n"
        "[MinimumCounts]\r\nMINIMUMCOUNTS = %d\r\n[KeywordCounts]\r\nKEYWORDCOUNTS = %d\r\n",
        v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]);
    return text;
}

// Four rows; kanji words from one character on, the other classes from two.
const std::string fourRows = settingsFile({2, 2, 4, 4, 4, 2, 0, 0, 0, 4});

std::string box(const char* text, const char* caption = u8"エラー", const char* buttons = " OK") {
    return sjis(text) + " | " + sjis(caption) + " |" + buttons;
}

// The labels of the settings panel's fields, in the order of init.ini.
const char* const fieldLabels[] = {u8"半角英数記号",
                                   u8"半角カタカナ",
                                   u8"全角英数記号",
                                   u8"全角ひらがな",
                                   u8"全角カタカナ",
                                   u8"漢字",
                                   u8"ログに出力する最低出現件数："};

const std::string finished = box(u8"検索処理が終了しました", u8"終了");

class Window : public testing::Test {
  protected:
    // Starts the program and notes its controls, which stand still: class, caption and place.
    void start(const std::string& currentFolder = "") {
        program = std::make_unique<Program>(installation, currentFolder);
        window = program->waitForMainWindow();
        ASSERT_NE(window, nullptr);
        controls.clear();
        for (HWND child : childrenOf(window)) {
            char name[64] = {};
            GetClassNameA(child, name, sizeof name);
            controls.push_back({child, CharUpperA(name), windowText(child), clientRect(child)});
        }
    }
    // The `index`th control of this class (in capitals) and caption.
    HWND control(const char* className, const char* caption, size_t index = 0) {
        for (const Control& c : controls)
            if (c.className == className && c.caption == sjis(caption) && index-- == 0)
                return c.handle;
        return nullptr;
    }
    HWND button(const char* caption, size_t index = 0) { return control("BUTTON", caption, index); }
    // The control whose left edge touches the right edge of `label`, level or 5 pixels higher.
    HWND rightOf(HWND label) {
        RECT mark = clientRect(label);
        for (const Control& c : controls)
            if (c.rect.left == mark.right && (c.rect.top == mark.top || c.rect.top + 5 == mark.top))
                return c.handle;
        return nullptr;
    }
    HWND field(const char* label) { return rightOf(control("STATIC", label)); }
    HWND targetBox() { return field(u8"対象"); }
    HWND keywordBox(int rank) { return field((std::to_string(rank) + " ").c_str()); }
    std::vector<std::string> rows(int count) { // keyword|count of each row
        std::vector<std::string> shown;
        for (int rank = 1; rank <= count; ++rank)
            shown.push_back(windowText(keywordBox(rank)) + "|" +
                            windowText(rightOf(keywordBox(rank))));
        return shown;
    }

    void click(HWND control) { SendMessageA(control, BM_CLICK, 0, 0); }
    // A click that leads to a message box, which is answered; returns the box as seen.
    std::string clickAndAnswer(HWND control, int answer = IDOK) {
        PostMessageA(control, BM_CLICK, 0, 0);
        return program->answer(answer);
    }
    HWND focus() {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(program->process.dwThreadId, &info);
        return info.hwndFocus;
    }
    std::string file(const char* name) { return readBytes(installation.file(name)); }

    struct Control {
        HWND handle;
        std::string className, caption;
        RECT rect;
    };
    Installation installation;
    std::unique_ptr<Program> program;
    HWND window = nullptr;
    std::vector<Control> controls;
};

// A refused start shows its error and ends with 0.
TEST_F(Window, AStartIsRefusedForASecondInstanceAndForAMissingList) {
    start();
    Program second(installation);
    EXPECT_EQ(second.answer(), box(u8"二重起動はできません"));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(program->close(window), 0);
    const char* cases[][2] = {{"userword.lst", u8"ユーザー単語リストのオープンに失敗しました"},
                              {"ignore.lst", u8"除外リストのオープンに失敗しました"}};
    for (auto& c : cases) {
        DeleteFileA(installation.file(c[0]).c_str());
        Program refused(installation);
        EXPECT_EQ(refused.answer(), box(c[1]));
        EXPECT_EQ(refused.exitCode(), 0);
        writeBytes(installation.file(c[0]), "");
    }
}

// The rows stand in two columns, rank by rank down one and then the other, above the settings
// panel; no box or button overlaps another; each field of the panel stands right of its label;
// Tab visits the enabled controls in creation order. The files beside the executable count, not
// those of the current folder. The count of rows is saved as read, but at most 50.
class Layout : public Window, public testing::WithParamInterface<int> {};
constexpr int singleRowInLeftColumn = 1;

TEST_P(Layout, RowsStandInTwoColumnsAboveTheSettingsPanel) {
    const int read = GetParam(), rows = std::clamp(read, 0, 50);
    if (read != 10)
        writeBytes(installation.file("init.ini"),
                   "[KeywordCounts]\r\nKEYWORDCOUNTS = " + std::to_string(read) + "\r\n");
    TemporaryFolder elsewhere;
    writeBytes(elsewhere.file("init.ini"), "[KeywordCounts]\r\nKEYWORDCOUNTS = 3\r\n");
    start(elsewhere.path.string());
    RECT outer, client, overlap;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    EXPECT_EQ(outer.right - outer.left, 480);

    // A row: rank label, keyword box, count box, ♪, ●, ×, edge to edge.
    const char* rowCaptions[] = {"", "", u8"♪", u8"●", u8"×"};
    std::vector<RECT> ranks;
    for (int rank = 1; HWND cell = control("STATIC", (std::to_string(rank) + " ").c_str());
         ++rank) {
        ranks.push_back(clientRect(cell));
        for (const char* caption : rowCaptions) {
            cell = rightOf(cell);
            ASSERT_NE(cell, nullptr) << rank;
            EXPECT_EQ(windowText(cell), sjis(caption)) << rank;
            EXPECT_EQ(clientRect(cell).top, ranks.back().top) << rank;
        }
        EXPECT_EQ(SendMessageA(keywordBox(rank), EM_GETLIMITTEXT, 0, 0), 1024);
        EXPECT_TRUE(GetWindowLongA(rightOf(keywordBox(rank)), GWL_STYLE) & ES_NUMBER);
    }
    ASSERT_EQ(ranks.size(), size_t(rows));
    // The left column holds half the rows, the right one the rest; a single row stands on the left.
    int left = 0;
    while (left < rows && ranks[left].left < client.right / 2) ++left;
    EXPECT_EQ(left, rows == 1 ? singleRowInLeftColumn : rows / 2);
    for (int i = 1; i < rows; ++i) {
        EXPECT_EQ(ranks[i].left, ranks[i < left ? 0 : left].left) << i;
        EXPECT_EQ(ranks[i].top, i == left ? ranks[0].top : ranks[i - 1].bottom) << i;
    }

    // The panel's frame holds the panel, which alone is disabled; the window ends just below it.
    EXPECT_EQ(controls.size(), 27u + 6 * rows);
    HWND frame = control("BUTTON", "");
    ASSERT_TRUE(frame && (GetWindowLongA(frame, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX);
    RECT panel = clientRect(frame);
    EXPECT_TRUE(client.bottom >= panel.bottom && client.bottom - panel.bottom <= 20);
    std::vector<HWND> tabStops;
    for (size_t a = 0; a < controls.size(); ++a) {
        const Control& c = controls[a];
        bool inPanel = IntersectRect(&overlap, &c.rect, &panel) != FALSE;
        EXPECT_EQ(IsWindowEnabled(c.handle) == FALSE, inPanel) << a;
        EXPECT_TRUE(c.rect.left >= 0 && c.rect.right <= client.right) << a;
        if ((GetWindowLongA(c.handle, GWL_STYLE) & WS_TABSTOP) && !inPanel)
            tabStops.push_back(c.handle);
        for (size_t b = a + 1; b < controls.size(); ++b) {
            const Control& d = controls[b];
            bool boxes = c.className != "STATIC" && d.className != "STATIC";
            if (boxes && c.handle != frame && d.handle != frame) {
                EXPECT_FALSE(IntersectRect(&overlap, &c.rect, &d.rect)) << a << " and " << b;
            }
        }
    }
    EXPECT_EQ(SendMessageA(targetBox(), EM_GETLIMITTEXT, 0, 0), 1024);
    for (const char* label : fieldLabels) {
        ASSERT_NE(field(label), nullptr) << label;
        EXPECT_EQ(clientRect(field(label)).top + 5, clientRect(control("STATIC", label)).top);
        EXPECT_TRUE(GetWindowLongA(field(label), GWL_STYLE) & ES_NUMBER);
        EXPECT_EQ(SendMessageA(field(label), EM_GETLIMITTEXT, 0, 0), 4);
    }
    EXPECT_EQ(tabStops.size(), 5u + 5 * rows);
    std::vector<HWND> visited;
    for (HWND c = GetNextDlgTabItem(window, nullptr, FALSE);
         c && visited.size() <= tabStops.size() && (visited.empty() || c != visited[0]);
         c = GetNextDlgTabItem(window, c, FALSE))
        visited.push_back(c);
    EXPECT_EQ(visited, tabStops);

    EXPECT_EQ(program->close(window), 0);
    if (read == 10) {
        EXPECT_EQ(file("init.ini"), settingsFile());
    }
    EXPECT_NE(file("init.ini").find("KEYWORDCOUNTS = " + std::to_string(std::min(read, 50))),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(KeywordCounts, Layout, testing::Values(0, 1, 7, 10, 51, -4));

// Runs `run` on a target that is a pipe: the run waits for its content, and meanwhile the test
// counts the enabled controls.
const char pipeName[] = "\\\\.\\pipe\\tallyon-window-test";
int enabledWhileReading(const std::vector<HWND>& controls, const std::function<void()>& run) {
    HANDLE pipe =
        CreateNamedPipeA(pipeName, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 4096, 4096, 0, nullptr);
    int enabled = -1;
    std::thread writer([&] {
        if (ConnectNamedPipe(pipe, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED) {
            enabled = 0;
            for (HWND control : controls) enabled += IsWindowEnabled(control);
            DWORD written = 0;
            WriteFile(pipe, "b\r\nb\r\n", 6, &written, nullptr);
            // Closing, not disconnecting, lets the reader have the rest and then the end.
            FlushFileBuffers(pipe);
        }
        CloseHandle(pipe);
    });
    run();
    writer.join();
    return enabled;
}

// Both runs disable every control while they read; a search opens result.txt in the editor.
TEST_F(Window, ARunDisablesTheWindowAndASearchOpensItsResultInTheEditor) {
    ASSERT_EQ(FindWindowA("Notepad", nullptr), nullptr);
    start();
    typeText(keywordBox(1), "b");
    typeText(targetBox(), pipeName);
    for (const char* caption : {u8"実　行", u8"♪"}) {
        auto run = [&] { EXPECT_EQ(clickAndAnswer(button(caption)), finished); };
        EXPECT_EQ(enabledWhileReading(childrenOf(window), run), 0) << caption;
    }
    EXPECT_EQ(file("keyword.log"), "2 : b\r\n");
    EXPECT_EQ(file("result.txt"),
              sjis(u8"// ※※※※※ 検索結果 開始 ※※※※※ //\r\n\r\n1L : b\r\n\r\n2L : b\r\n\r\n"
                   u8"// ※※※※※ 検索結果 終了 ※※※※※ //\r\n"));
    // The editor names the file in its title once it has read it.
    HWND editor = waitFor([]() -> HWND {
        HWND found = FindWindowA("Notepad", nullptr);
        return found && windowText(found).find("result.txt") != std::string::npos ? found : nullptr;
    });
    ASSERT_NE(editor, nullptr);
    PostMessageA(editor, WM_CLOSE, 0, 0);
    EXPECT_TRUE(waitFor([] { return FindWindowA("Notepad", nullptr) == nullptr; }));
    EXPECT_EQ(program->close(window), 0);
}

// Lists and settings are kept until the close is confirmed; a list that cannot be written keeps
// the window open with everything in it.
TEST_F(Window, AKeywordRunFillsTheRowsAndRegisteredWordsAreSavedAtTheClose) {
    writeBytes(installation.file("userword.lst"), "zz\r\n");
    writeBytes(installation.file("ignore.lst"), sjis(u8"人\r\n"));
    std::string unsaved = fourRows; // as the program would not write it
    writeBytes(installation.file("init.ini"), unsaved.replace(unsaved.rfind(" = "), 3, "="));
    writeBytes(installation.file("target.txt"),
               sjis(u8"東京と大阪。東京と京都。\r\n大阪の人と東京。\r\n"));
    start();
    typeText(targetBox(), installation.file("target.txt"));
    EXPECT_EQ(clickAndAnswer(button(u8"実　行")), finished);
    // 人 is excluded, so the last row stays empty.
    EXPECT_EQ(rows(4), (std::vector<std::string>{sjis(u8"東京|3"), sjis(u8"大阪|2"),
                                                 sjis(u8"京都|1"), "|"}));
    EXPECT_EQ(file("keyword.log"), sjis(u8"3 : 東京\r\n2 : 大阪\r\n1 : 京都\r\n"));

    const std::string userWordAdded = box(u8"ユーザー単語リストに追加しました", u8"ユーザー単語");
    const std::string excludedWordAdded = box(u8"除外リストに追加しました", u8"除外");
    EXPECT_EQ(clickAndAnswer(button(u8"●", 3)), box(u8"キーワードがありません"));
    EXPECT_EQ(clickAndAnswer(button(u8"×", 3)), box(u8"キーワードがありません"));
    EXPECT_EQ(clickAndAnswer(button(u8"●", 2)), userWordAdded);
    typeText(keywordBox(4), sjis(u8" 東京 x "));
    EXPECT_EQ(clickAndAnswer(button(u8"×", 3)), excludedWordAdded);
    EXPECT_EQ(clickAndAnswer(button(u8"×", 1)), excludedWordAdded);
    EXPECT_EQ(windowText(keywordBox(4)), sjis(u8" 東京 x "));

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program->answer(IDNO), box(u8"Tallyonを終了します", u8"確認", " Yes No owned"));
    const char* obstacles[][2] = {
        {"userword.lst.tmp", u8"ユーザー単語リストのオープンに失敗しました"},
        {"ignore.lst.tmp", u8"除外リストのオープンに失敗しました"}};
    for (auto& obstacle : obstacles) {
        CreateDirectoryA(installation.file(obstacle[0]).c_str(), nullptr);
        PostMessageA(window, WM_CLOSE, 0, 0);
        program->answer(IDYES);
        EXPECT_EQ(program->answer(), box(obstacle[1]));
        RemoveDirectoryA(installation.file(obstacle[0]).c_str());
        EXPECT_TRUE(program->isRunning());
        EXPECT_EQ(file("ignore.lst"), sjis(u8"人\r\n"));
    }
    EXPECT_EQ(file("init.ini"), unsaved);
    EXPECT_EQ(program->close(window), 0);
    EXPECT_EQ(file("userword.lst"), sjis(u8"zz\r\n京都\r\n"));
    EXPECT_EQ(file("ignore.lst"), sjis(u8" 東京 x \r\n人\r\n大阪\r\n"));
    EXPECT_EQ(file("init.ini"), fourRows);
}

// Every other outcome of a run, in one program; what keyword.log or result.txt holds afterwards.
TEST_F(Window, EachOutcomeOfARunShowsItsMessage) {
    const std::string header = sjis(u8"// ※※※※※ 検索結果 開始 ※※※※※ //\r\n\r\n");
    struct Case {
        const char* target; // beside the program; null: the box is emptied
        const char* button;
        const char* output; // ending in a backslash: a folder stands in its place
        std::string box;
        const char* after; // null: not checked
    } cases[] = {
        {nullptr, u8"実　行", "keyword.log", box(u8"対象ファイルを指定してください"), "old"},
        {nullptr, u8"♪", "result.txt", box(u8"対象ファイルを指定してください"), "old"},
        {"missing.txt", u8"♪", "result.txt", box(u8"検索エラーが発生しました"), header.c_str()},
        {"target.txt", u8"実　行", "keyword.log\\", box(u8"入出力エラーが発生しました"), nullptr},
        {"target.txt", u8"♪", "result.txt\\", box(u8"入出力エラーが発生しました"), nullptr},
        {"long.txt", u8"実　行", "keyword.log", box(u8"バッファオーバーフローが発生しました"),
         nullptr},
        {"target.txt", u8"実　行", "keyword.log", finished, "1 : ab,cd\r\n"},
        {"missing.txt", u8"実　行", "keyword.log", box(u8"検索エラーが発生しました"), nullptr},
    };
    writeBytes(installation.file("target.txt"), "ab,cd\r\n");
    writeBytes(installation.file("long.txt"), std::string(1024, 'x'));
    start();
    typeText(keywordBox(1), "b");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        std::string output = installation.file(c.output);
        bool folder = output.back() == '\\';
        if (folder) output.pop_back();
        DeleteFileA(output.c_str());
        if (folder)
            CreateDirectoryA(output.c_str(), nullptr);
        else
            writeBytes(output, "old");
        typeText(targetBox(), c.target ? installation.file(c.target) : "");
        EXPECT_EQ(clickAndAnswer(button(c.button)), c.box);
        if (c.after) {
            EXPECT_EQ(readBytes(output), c.after);
        }
        RemoveDirectoryA(output.c_str());
    }
    // A failed keyword run empties the rows that the one before filled.
    EXPECT_EQ(rows(2), (std::vector<std::string>{"|", "|"}));
    // 英文を処理する counts at each keyword run: a comma then separates words.
    click(button(u8"英文を処理する"));
    typeText(targetBox(), installation.file("target.txt"));
    EXPECT_EQ(clickAndAnswer(button(u8"実　行")), finished);
    EXPECT_EQ(file("keyword.log"), "1 : cd\r\n1 : ab\r\n");
    EXPECT_EQ(program->close(window), 0);
}

// The panel shows the lengths of the full-width classes in characters and takes them back as
// bytes; a field's value is its leading number, limited to the 32-bit range.
TEST_F(Window, TheSettingsPanelAppliesTheFieldsAsTypedAndCancelShowsTheSettingsAgain) {
    writeBytes(installation.file("init.ini"), settingsFile({1, 2, 7, 5, 8, 12, 2, 1, 3, -4}));
    start();
    auto shown = [&] {
        std::vector<std::string> texts;
        for (const char* label : fieldLabels) texts.push_back(windowText(field(label)));
        return texts;
    };
    auto ticked = [&](const char* caption) {
        return SendMessageA(button(caption), BM_GETCHECK, 0, 0) == BST_CHECKED;
    };
    auto enabled = [&] {
        int count = 0;
        for (const Control& c : controls) count += IsWindowEnabled(c.handle) != FALSE;
        return count;
    };
    EXPECT_EQ(shown(), (std::vector<std::string>{"1", "2", "3", "2", "4", "6", "3"}));
    EXPECT_FALSE(ticked(u8"半角カナ→全角カナ"));
    EXPECT_TRUE(ticked(u8"英小文字→英大文字"));
    EXPECT_EQ(focus(), targetBox());

    // The panel's twenty controls take the place of the seven of the main area.
    click(button(u8"設　定"));
    EXPECT_EQ(focus(), field(fieldLabels[0]));
    EXPECT_EQ(enabled(), 20);
    EXPECT_FALSE(IsWindowEnabled(button(u8"実　行")));
    for (const char* label : fieldLabels) {
        typeText(field(label), "");
        EXPECT_EQ(clickAndAnswer(button(u8"適　用")), box(u8"全ての項目に値を入力してください"));
        EXPECT_EQ(enabled(), 20);
        typeText(field(label), "1");
    }
    click(button(u8"取　消"));
    EXPECT_EQ(shown()[6], "3");
    EXPECT_EQ(enabled(), 7);
    EXPECT_EQ(focus(), targetBox());

    click(button(u8"設　定"));
    const char* typed[] = {" +12", "ab", "99999999999", "-99999999999", "3", "12ab", "\t-4"};
    for (int i = 0; i < 7; ++i) typeText(field(fieldLabels[i]), typed[i]);
    click(button(u8"半角カナ→全角カナ"));
    click(button(u8"英小文字→英大文字"));
    click(button(u8"適　用"));
    EXPECT_TRUE(IsWindowEnabled(button(u8"実　行")));
    EXPECT_EQ(windowText(field(fieldLabels[0])), " +12");

    click(button(u8"設　定"));
    for (const char* label : fieldLabels) typeText(field(label), "5");
    click(button(u8"英小文字→英大文字"));
    click(button(u8"取　消"));
    EXPECT_EQ(shown(),
              (std::vector<std::string>{"12", "0", "1073741823", "-1073741824", "3", "12", "-4"}));
    EXPECT_TRUE(ticked(u8"半角カナ→全角カナ"));
    EXPECT_FALSE(ticked(u8"英小文字→英大文字"));

    // Closing with the panel open saves the settings last applied, not the panel's text.
    click(button(u8"設　定"));
    typeText(field(fieldLabels[0]), "9");
    EXPECT_EQ(program->close(window), 0);
    EXPECT_EQ(file("init.ini"),
              settingsFile({12, 0, 2147483647, -2147483648, 6, 24, 1, 0, -4, -4}));
}

// init.ini is replaced only once the new file is complete: where it cannot be written, or read,
// the old one stays, no new one is left beside it, and the close goes on.
TEST_F(Window, ASettingsFileThatCannotBeWrittenIsLeftAsItWas) {
    for (std::string obstacle : {"init.ini.tmp", "init.ini"}) {
        writeBytes(installation.file("init.ini"), "[Convert]\r\nTODOUBLE = 1\r\n");
        DeleteFileA(installation.file(obstacle).c_str());
        CreateDirectoryA(installation.file(obstacle).c_str(), nullptr);
        start();
        EXPECT_EQ(program->close(window), 0);
        RemoveDirectoryA(installation.file(obstacle).c_str());
        EXPECT_EQ(file("init.ini"), obstacle == "init.ini" ? "" : "[Convert]\r\nTODOUBLE = 1\r\n");
        EXPECT_EQ(GetFileAttributesA(installation.file("init.ini.tmp").c_str()),
                  INVALID_FILE_ATTRIBUTES);
    }
}

TEST_F(Window, BrowseOffersAllFilesAndStartsFromTheLastChoice) {
    writeBytes(installation.file("chosen.txt"), "");
    start();
    for (const char* offered : {"", "chosen.txt"}) {
        typeText(targetBox(), "typed");
        PostMessageA(button(u8"参　照"), BM_CLICK, 0, 0);
        HWND dialog = waitFor([&] { return findWindowOf(program->process.dwProcessId, "#32770"); });
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(waitFor([&] { return windowText(GetDlgItem(dialog, cmb13)) == offered; }));
        EXPECT_EQ(windowText(GetDlgItem(dialog, cmb1)), "All files {*.*}");
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, cmb1), CB_GETCOUNT, 0, 0), 1);
        typeText(GetDlgItem(dialog, cmb13), installation.file("chosen.txt"));
        PostMessageA(dialog, WM_COMMAND, *offered ? IDCANCEL : IDOK, 0);
        EXPECT_TRUE(waitFor([&] { return !IsWindow(dialog); }));
        EXPECT_EQ(windowText(targetBox()), *offered ? "typed" : installation.file("chosen.txt"));
    }
    EXPECT_EQ(program->close(window), 0);
}

} // namespace
