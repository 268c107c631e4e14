// The real tallyon.exe in a folder of its own, worked only through its window as a user works it:
// text typed into its boxes, clicks on its buttons, answers to its message boxes, and the files it
// leaves behind compared byte for byte. scripts/test-windows runs them under code page 932 and
// again under 1252: what the window shows and writes must not change.

#include "window_support.h"

#include <commctrl.h>
#include <dlgs.h>

#include <algorithm>
#include <array>
#include <cstdio>
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

std::string box(const char* text, const char* caption = u8"エラー", const char* buttons = " OK") {
    return std::string(text) + " | " + caption + " |" + buttons;
}
const std::string finished = box(u8"検索処理が終了しました", u8"終了");

// Each word list and its error when it cannot be read at the start or written at the close.
const char* const listFailures[][2] = {
    {"userword.lst", u8"ユーザー単語リストのオープンに失敗しました"},
    {"ignore.lst", u8"除外リストのオープンに失敗しました"}};

// The labels of the settings panel's fields, in the order of init.ini.
const char* const fieldLabels[] = {u8"半角英数記号",
                                   u8"半角カタカナ",
                                   u8"全角英数記号",
                                   u8"全角ひらがな",
                                   u8"全角カタカナ",
                                   u8"漢字",
                                   u8"ログに出力する最低出現件数："};

// In creation order.
std::vector<HWND> childrenOf(HWND window) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// In the parent's client coordinates.
RECT placeOf(HWND control) {
    RECT rect = {};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A started tallyon.exe, ended by force if it still runs when the test ends.
struct Program : PROCESS_INFORMATION {
    Program(const std::string& executable, const std::string& currentFolder)
        : PROCESS_INFORMATION() {
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        // Wine has been seen to fail a start once, on a loaded machine: the start is tried again
        // for as long as a start may take.
        EXPECT_TRUE(waitFor([&] {
            return CreateProcessW(wide(executable).c_str(), nullptr, nullptr, nullptr, FALSE, 0,
                                  nullptr, wide(currentFolder).c_str(), &startup, this);
        })) << "error "
            << GetLastError();
    }
    ~Program() { TerminateProcess(hProcess, 1), CloseHandle(hThread), CloseHandle(hProcess); }
    std::string answer(int button = IDOK) {
        return ::answer(waitFor([&] { return messageBoxOf(dwProcessId); }), button);
    }
    // The exit code, or -1 when the program does not end in time.
    long exitCode() {
        DWORD code = 0;
        if (WaitForSingleObject(hProcess, 20000) != WAIT_OBJECT_0) return -1;
        GetExitCodeProcess(hProcess, &code);
        return static_cast<long>(code);
    }
};

// A copy of tallyon.exe in a folder of its own, with empty word lists beside it. The folder's name
// has characters that only UTF-16 holds of all the code pages of Windows.
class Window : public testing::Test {
  protected:
    Window() {
        CreateDirectoryW(wide(home).c_str(), nullptr);
        EXPECT_TRUE(CopyFileW(wide(TALLYON_EXE).c_str(), wide(path("tallyon.exe")).c_str(), FALSE))
            << TALLYON_EXE;
        for (auto& list : listFailures) writeBytes(path(list[0]), "");
    }
    std::string path(const std::string& name) { return home + "\\" + name; }
    std::string file(const char* name) { return readBytes(path(name)); }
    void start(const std::string& currentFolder = "") {
        program = std::make_unique<Program>(path("tallyon.exe"),
                                            currentFolder.empty() ? path("") : currentFolder);
        window = waitFor([&] { return windowOf(program->dwProcessId, "Tallyon Ver.1.20"); });
        ASSERT_NE(window, nullptr);
    }
    // Closes the window as its close box does and confirms; returns the exit code.
    long close() {
        PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(program->answer(IDYES), box(u8"Tallyonを終了します", u8"確認", " Yes No owned"));
        return program->exitCode();
    }

    // The `index`th control of this class and caption.
    HWND control(const char* className, const char* caption, int index = 0) {
        HWND found = nullptr;
        do found = FindWindowExW(window, found, wide(className).c_str(), wide(caption).c_str());
        while (found && index-- > 0);
        return found;
    }
    HWND button(const char* caption, int index = 0) { return control("Button", caption, index); }
    // The control whose left edge touches the right edge of `label`, level or 5 pixels higher.
    // The places are read once: the controls stand still.
    HWND rightOf(HWND label) {
        if (places.empty())
            for (HWND c : childrenOf(window)) places.push_back({c, placeOf(c)});
        RECT mark = placeOf(label);
        for (auto& [c, place] : places)
            if (place.left == mark.right && (place.top == mark.top || place.top + 5 == mark.top))
                return c;
        return nullptr;
    }
    HWND field(const char* label) { return rightOf(control("Static", label)); }
    HWND targetBox() { return field(u8"対象"); }
    HWND keywordBox(int rank) { return field((std::to_string(rank) + " ").c_str()); }

    void click(HWND control) { SendMessageA(control, BM_CLICK, 0, 0); }
    // A click that leads to a message box, which is answered; returns the box as seen.
    std::string clickAndAnswer(HWND control, int answer = IDOK) {
        PostMessageA(control, BM_CLICK, 0, 0);
        return program->answer(answer);
    }
    int enabledControls() {
        std::vector<HWND> controls = childrenOf(window);
        return std::count_if(controls.begin(), controls.end(), IsWindowEnabled);
    }
    HWND focus() {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(program->dwThreadId, &info);
        return info.hwndFocus;
    }

    TemporaryFolder folder;
    const std::string home = folder.file(u8"한글🍣");
    std::unique_ptr<Program> program;
    HWND window = nullptr;
    std::vector<std::pair<HWND, RECT>> places;
};

// A refused start shows its error and ends with 0. init.ini is replaced only once the new file is
// complete: where it cannot be written, the old one stays and the close goes on.
TEST_F(Window, AStartIsRefusedForASecondInstanceAndForAMissingList) {
    writeBytes(path("init.ini"), "[Convert]\r\nTODOUBLE = 1\r\n");
    CreateDirectoryW(wide(path("init.ini.tmp")).c_str(), nullptr);
    start();
    Program second(path("tallyon.exe"), path(""));
    EXPECT_EQ(second.answer(), box(u8"二重起動はできません"));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(close(), 0);
    EXPECT_EQ(file("init.ini"), "[Convert]\r\nTODOUBLE = 1\r\n");
    for (auto& list : listFailures) {
        DeleteFileW(wide(path(list[0])).c_str());
        Program refused(path("tallyon.exe"), path(""));
        EXPECT_EQ(refused.answer(), box(list[1]));
        EXPECT_EQ(refused.exitCode(), 0);
        writeBytes(path(list[0]), "");
    }
}

// The rows stand in two columns, rank by rank down one and then the other, above the settings
// panel; no box or button but the panel's frame overlaps another; each field of the panel stands
// right of its label; the boxes and buttons outside the panel are tab stops. The files beside the
// executable count, not those of the current folder. The count of rows is saved as read, but at
// most 50.
class Layout : public Window, public testing::WithParamInterface<int> {};

TEST_P(Layout, RowsStandInTwoColumnsAboveTheSettingsPanel) {
    const int read = GetParam(), rows = std::clamp(read, 0, 50);
    if (read != 10)
        writeBytes(path("init.ini"), "[KeywordCounts]\r\nKEYWORDCOUNTS = " + std::to_string(read));
    TemporaryFolder elsewhere;
    writeBytes(elsewhere.file("init.ini"), "[KeywordCounts]\r\nKEYWORDCOUNTS = 3\r\n");
    start(elsewhere.path.string());
    RECT outer, client, overlap;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    EXPECT_EQ(outer.right - outer.left, 480);

    // A row: rank label, keyword box, count box, ♪, ●, ×, edge to edge.
    std::vector<RECT> ranks;
    for (int rank = 1; HWND cell = control("Static", (std::to_string(rank) + " ").c_str());
         ++rank) {
        ranks.push_back(placeOf(cell));
        for (const char* caption : {"", "", u8"♪", u8"●", u8"×"}) {
            cell = rightOf(cell);
            EXPECT_EQ(windowText(cell), caption) << rank;
            EXPECT_EQ(placeOf(cell).top, ranks.back().top) << rank;
        }
        EXPECT_EQ(SendMessageA(keywordBox(rank), EM_GETLIMITTEXT, 0, 0), 1024);
        EXPECT_TRUE(GetWindowLongA(rightOf(keywordBox(rank)), GWL_STYLE) & ES_NUMBER);
    }
    ASSERT_EQ(ranks.size(), size_t(rows));
    // The left column holds half the rows, the right one the rest; a single row stands on the left.
    int left = 0;
    while (left < rows && ranks[left].left < client.right / 2) ++left;
    EXPECT_EQ(left, rows == 1 ? 1 : rows / 2);
    for (int i = 1; i < rows; ++i) {
        EXPECT_EQ(ranks[i].left, ranks[i < left ? 0 : left].left) << i;
        EXPECT_EQ(ranks[i].top, i == left ? ranks[0].top : ranks[i - 1].bottom) << i;
    }

    // The panel's frame holds the panel, which alone is disabled; the window ends just below it.
    HWND frame = control("Button", "");
    ASSERT_TRUE(frame && (GetWindowLongA(frame, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX);
    RECT panel = placeOf(frame);
    EXPECT_TRUE(client.bottom >= panel.bottom && client.bottom - panel.bottom <= 20);
    std::vector<HWND> controls = childrenOf(window);
    int tabStops = 0; // Tab visits them in creation order
    EXPECT_EQ(controls.size(), 27u + 6 * rows);
    std::vector<RECT> rects;
    std::vector<bool> boxes; // edit boxes and buttons but the frame
    for (HWND c : controls) {
        char name[8] = {};
        GetClassNameA(c, name, sizeof name);
        rects.push_back(placeOf(c));
        boxes.push_back(lstrcmpiA(name, "Static") != 0 && c != frame);
    }
    for (size_t a = 0; a < controls.size(); ++a) {
        bool inPanel = IntersectRect(&overlap, &rects[a], &panel);
        EXPECT_EQ(!IsWindowEnabled(controls[a]), inPanel) << a;
        EXPECT_TRUE(rects[a].left >= 0 && rects[a].right <= client.right) << a;
        tabStops += (GetWindowLongA(controls[a], GWL_STYLE) & WS_TABSTOP) && !inPanel;
        for (size_t b = a + 1; b < controls.size(); ++b)
            EXPECT_FALSE(boxes[a] && boxes[b] && IntersectRect(&overlap, &rects[a], &rects[b]))
                << a << " and " << b;
    }
    EXPECT_EQ(SendMessageA(targetBox(), EM_GETLIMITTEXT, 0, 0), 1024);
    for (const char* label : fieldLabels) {
        EXPECT_EQ(placeOf(field(label)).top + 5, placeOf(control("Static", label)).top) << label;
        EXPECT_TRUE(GetWindowLongA(field(label), GWL_STYLE) & ES_NUMBER) << label;
        EXPECT_EQ(SendMessageA(field(label), EM_GETLIMITTEXT, 0, 0), 4) << label;
    }
    EXPECT_EQ(tabStops, 5 + 5 * rows);

    EXPECT_EQ(close(), 0);
    EXPECT_EQ(file("init.ini"), read == 10 ? settingsFile() : file("init.ini"));
    EXPECT_NE(file("init.ini").find("KEYWORDCOUNTS = " + std::to_string(std::min(read, 50))),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(KeywordCounts, Layout, testing::Values(0, 1, 7, 10, 51, -4));

// Both runs disable every control while they read a target that is a pipe, whose content comes
// once the test has counted the enabled controls; a search opens result.txt in the editor. 参　照
// offers all files and starts from the last choice, a name of any characters. An init.ini that
// cannot be read is left alone.
TEST_F(Window, ARunDisablesTheWindowASearchOpensItsResultAndBrowseOffersAllFiles) {
    ASSERT_EQ(FindWindowA("Notepad", nullptr), nullptr);
    CreateDirectoryW(wide(path("init.ini")).c_str(), nullptr);
    writeBytes(path(u8"メモ😀.txt"), "");
    start();
    const char pipeName[] = "\\\\.\\pipe\\tallyon-window-test";
    typeText(targetBox(), pipeName);
    for (const char* caption : {u8"実　行", u8"♪"}) {
        // The keyword run fills the row; the search looks for the geta mark, as a target holds
        // a character that code page 932 lacks.
        typeText(keywordBox(1), u8"🍣");
        HANDLE pipe = CreateNamedPipeA(pipeName, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 4096,
                                       4096, 0, nullptr);
        int enabled = -1;
        std::thread writer([&] {
            if (ConnectNamedPipe(pipe, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED) {
                enabled = enabledControls();
                DWORD written = 0;
                WriteFile(pipe, "\x81\xAC\r\n\x81\xAC\r\n", 8, &written, nullptr); // 〓
                // Closing, not disconnecting, lets the reader have the rest and then the end.
                FlushFileBuffers(pipe);
            }
            CloseHandle(pipe);
        });
        EXPECT_EQ(clickAndAnswer(button(caption)), finished);
        writer.join();
        EXPECT_EQ(enabled, 0) << caption;
    }
    EXPECT_EQ(file("keyword.log"), sjis(u8"2 : 〓\r\n"));
    EXPECT_EQ(file("result.txt"),
              sjis(u8"// ※※※※※ 検索結果 開始 ※※※※※ //\r\n\r\n1L : 〓\r\n\r\n2L : 〓\r\n\r\n"
                   u8"// ※※※※※ 検索結果 終了 ※※※※※ //\r\n"));
    // The editor names the file in its title once it has read it.
    HWND editor = waitFor([]() -> HWND {
        HWND found = FindWindowA("Notepad", nullptr);
        return found && windowText(found).find("result.txt") != std::string::npos ? found : nullptr;
    });
    PostMessageA(editor, WM_CLOSE, 0, 0);
    EXPECT_TRUE(editor && waitFor([] { return FindWindowA("Notepad", nullptr) == nullptr; }));

    const auto files = std::distance(std::filesystem::directory_iterator(wide(home)), {});
    for (const char* offered : {"", u8"メモ😀.txt"}) {
        typeText(targetBox(), "typed");
        PostMessageA(button(u8"参　照"), BM_CLICK, 0, 0);
        HWND dialog = waitFor([&] { return windowOf(program->dwProcessId, "#32770"); });
        EXPECT_TRUE(waitFor([&] { return windowText(GetDlgItem(dialog, cmb13)) == offered; }));
        EXPECT_EQ(windowText(GetDlgItem(dialog, cmb1)), "All files {*.*}");
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, cmb1), CB_GETCOUNT, 0, 0), 1);
        HWND view = FindWindowExA(dialog, nullptr, "SHELLDLL_DefView", nullptr);
        HWND list = FindWindowExA(view, nullptr, "SysListView32", nullptr);
        EXPECT_TRUE(waitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == files; }));
        typeText(GetDlgItem(dialog, cmb13), path(u8"メモ😀.txt"));
        PostMessageA(dialog, WM_COMMAND, *offered ? IDCANCEL : IDOK, 0);
        EXPECT_TRUE(waitFor([&] { return !IsWindow(dialog); }));
        EXPECT_EQ(windowText(targetBox()), *offered ? "typed" : path(u8"メモ😀.txt"));
    }
    EXPECT_EQ(close(), 0);
    EXPECT_TRUE(RemoveDirectoryW(wide(path("init.ini")).c_str()));
    EXPECT_EQ(GetFileAttributesW(wide(path("init.ini.tmp")).c_str()), INVALID_FILE_ATTRIBUTES);
}

// One program through every outcome of a run and of a registration: the message it shows and
// what keyword.log or result.txt holds afterwards. Lists and settings are kept until the close is
// confirmed; a list that cannot be written keeps the window open with everything in it.
TEST_F(Window, EachRunAndRegistrationShowsItsMessageAndTheCloseSavesTheLists) {
    // Four rows; kanji words from one character on, the other classes from two.
    const std::string fourRows = settingsFile({2, 2, 4, 4, 4, 2, 0, 0, 0, 4});
    std::string unsaved = fourRows; // as the program would not write it
    writeBytes(path("init.ini"), unsaved.replace(unsaved.rfind(" = "), 3, "="));
    writeBytes(path("userword.lst"), "zz\r\n");
    writeBytes(path("ignore.lst"), sjis(u8"人\r\n"));
    writeBytes(path(u8"メモ😀.txt"), sjis(u8"東京と大阪。東京と京都。\r\n大阪の人と東京。\r\n"));
    writeBytes(path("ab.txt"), "ab,cd\r\n");
    writeBytes(path("long.txt"), std::string(1024, 'x'));
    writeBytes(path("keyword.log"), "old");
    writeBytes(path("result.txt"), "old");
    const std::string noTarget = box(u8"対象ファイルを指定してください"),
                      readError = box(u8"検索エラーが発生しました"),
                      ioError = box(u8"入出力エラーが発生しました"),
                      noKeyword = box(u8"キーワードがありません"),
                      excluded = box(u8"除外リストに追加しました", u8"除外");
    struct Step {
        int row;                    // typed into: 0 the target box, else the row's keyword box
        const char *typed, *button; // null: nothing typed
        int index;                  // among the buttons of that caption
        std::string shows;          // the message box
        std::string file, bytes;    // a backslash after the name: a folder stands in its place
    } steps[] = {
        {0, "", u8"実　行", 0, noTarget, "keyword.log", "old"},
        {0, "", u8"♪", 0, noTarget, "result.txt", "old"},
        {0, "ab.txt", u8"実　行", 0, finished, "keyword.log", "1 : ab,cd\r\n"},
        {0, "long.txt", u8"実　行", 0, box(u8"バッファオーバーフローが発生しました"), "", ""},
        {0, "ab.txt", u8"実　行", 0, ioError, "keyword.log\\", ""},
        {0, "missing.txt", u8"実　行", 0, readError, "", ""},
        {0, nullptr, u8"●", 0, noKeyword, "", ""}, // a failed run empties the rows
        {0, u8"メモ😀.txt", u8"実　行", 0, finished, "keyword.log",
         sjis(u8"3 : 東京\r\n2 : 大阪\r\n1 : 京都\r\n")},
        {0, "missing.txt", u8"♪", 0, readError, "result.txt",
         sjis(u8"// ※※※※※ 検索結果 開始 ※※※※※ //\r\n\r\n")},
        {0, u8"メモ😀.txt", u8"♪", 0, ioError, "result.txt\\", ""},
        // 人 is excluded, so the last row stays empty.
        {0, nullptr, u8"●", 3, noKeyword, "", ""},
        {0, nullptr, u8"×", 3, noKeyword, "", ""},
        {0, nullptr, u8"●", 2, box(u8"ユーザー単語リストに追加しました", u8"ユーザー単語"), "", ""},
        {4, u8" 東京 x ", u8"×", 3, excluded, "", ""},
        {4, u8"寿司🍣", u8"×", 3, box(u8"シフトJISのリストに書き込めない文字が含まれています"), "",
         ""},
        {4, u8" 東京 x ", u8"×", 3, excluded, "", ""},
        {0, nullptr, u8"×", 3, excluded, "", ""}, // the box keeps its text
        {0, nullptr, u8"×", 1, excluded, "", ""},
    };
    start();
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << s.button << s.index << " " << s.file);
        const std::string output = path(s.file.substr(0, s.file.find('\\')));
        const bool obstacle = s.file.find('\\') != std::string::npos;
        if (obstacle) DeleteFileW(wide(output).c_str()), CreateDirectoryW(wide(output).c_str(), 0);
        if (s.typed) typeText(s.row ? keywordBox(s.row) : targetBox(), s.typed);
        EXPECT_EQ(clickAndAnswer(button(s.button, s.index)), s.shows);
        if (obstacle) RemoveDirectoryW(wide(output).c_str());
        EXPECT_EQ(readBytes(output), s.bytes);
    }
    // 英文を処理する counts at each keyword run: a comma then separates words.
    click(button(u8"英文を処理する"));
    typeText(targetBox(), path("ab.txt"));
    EXPECT_EQ(clickAndAnswer(button(u8"実　行")), finished);
    EXPECT_EQ(file("keyword.log"), "1 : cd\r\n1 : ab\r\n");
    std::string rows; // keyword:count of each row
    for (int rank = 1; rank <= 4; ++rank)
        rows += windowText(keywordBox(rank)) + ":" + windowText(rightOf(keywordBox(rank))) + " ";
    EXPECT_EQ(rows, "cd:1 ab:1 : : ");

    PostMessageA(window, WM_CLOSE, 0, 0);
    program->answer(IDNO);
    for (auto& list : listFailures) {
        const std::string obstacle = path(list[0]) + ".tmp";
        CreateDirectoryW(wide(obstacle).c_str(), nullptr);
        PostMessageA(window, WM_CLOSE, 0, 0);
        program->answer(IDYES);
        EXPECT_EQ(program->answer(), box(list[1]));
        RemoveDirectoryW(wide(obstacle).c_str());
        EXPECT_EQ(WaitForSingleObject(program->hProcess, 0), WAIT_TIMEOUT);
        EXPECT_EQ(file("ignore.lst"), sjis(u8"人\r\n"));
    }
    EXPECT_EQ(file("init.ini"), unsaved);
    EXPECT_EQ(close(), 0);
    EXPECT_EQ(file("userword.lst"), sjis(u8"zz\r\n京都\r\n"));
    EXPECT_EQ(file("ignore.lst"), sjis(u8" 東京 x \r\n人\r\n大阪\r\n"));
    EXPECT_EQ(file("init.ini"), fourRows);
}

// A UTF-8 target fills the rows as its Shift-JIS form does. A UTF-8 user list with its mark and a
// UTF-16 exclusion list reach the run in code page 932 and come back from the close with every
// word as it was; a registered word is added as typed, in UTF-8, unless its code page 932 form is
// there and stands for it whole.
TEST_F(Window, UnicodeTargetsAndListsWorkAsTheirShiftJisForms) {
    const std::string text = u8"東京と大阪。東京と京都。\r\n大阪の人と東京。\r\n",
                      excludedList("\xFF\xFE\xBA\x4E\r\0\n\0", 8); // 人
    writeBytes(path("userword.lst"), u8"\uFEFFcafé\r\n京\r\n😀\r\n");
    writeBytes(path("ignore.lst"), excludedList);
    writeBytes(path("sjis.txt"), sjis(text));
    writeBytes(path("utf8.txt"), text);
    start();
    std::string rows[2];
    for (int utf8 : {0, 1}) {
        typeText(targetBox(), path(utf8 ? "utf8.txt" : "sjis.txt"));
        EXPECT_EQ(clickAndAnswer(button(u8"実　行")), finished);
        EXPECT_EQ(file("keyword.log"), sjis(u8"4 : 京\r\n3 : 東京\r\n3 : と\r\n3 : 。\r\n"
                                            u8"2 : 大阪\r\n1 : 京都\r\n1 : の\r\n"));
        for (int rank = 1; rank <= 10; ++rank)
            rows[utf8] += windowText(keywordBox(rank)) + windowText(rightOf(keywordBox(rank)));
    }
    EXPECT_EQ(rows[1], rows[0]);
    typeText(keywordBox(1), u8"caf〓");
    typeText(keywordBox(3), u8"寿司🍣");
    for (int row : {0, 1, 2}) // 東京 stays in the second
        EXPECT_EQ(clickAndAnswer(button(u8"●", row)),
                  box(u8"ユーザー単語リストに追加しました", u8"ユーザー単語"));
    EXPECT_EQ(close(), 0);
    EXPECT_EQ(file("userword.lst"), u8"\uFEFFcafé\r\n京\r\n寿司🍣\r\n東京\r\n😀\r\n");
    EXPECT_EQ(file("ignore.lst"), excludedList);
}

TEST_F(Window, TheSettingsPanelAppliesTheFieldsAsTypedAndCancelShowsTheSettingsAgain) {
    writeBytes(path("init.ini"), settingsFile({1, 2, 7, 5, 8, 12, 2, 1, 3, -4}));
    start();
    auto shown = [&] { // the fields' texts, then the ticks of the two conversions
        std::string texts;
        for (const char* label : fieldLabels) texts += windowText(field(label)) + " ";
        for (const char* check : {u8"半角カナ→全角カナ", u8"英小文字→英大文字"})
            texts += std::to_string(SendMessageA(button(check), BM_GETCHECK, 0, 0));
        return texts;
    };
    EXPECT_EQ(shown(), "1 2 3 2 4 6 3 01");
    EXPECT_EQ(focus(), targetBox());

    // The panel's twenty controls take the place of the seven of the main area.
    click(button(u8"設　定"));
    EXPECT_EQ(focus(), field(fieldLabels[0]));
    EXPECT_EQ(enabledControls(), 20);
    for (const char* label : fieldLabels) {
        typeText(field(label), "");
        EXPECT_EQ(clickAndAnswer(button(u8"適　用")), box(u8"全ての項目に値を入力してください"));
        EXPECT_EQ(enabledControls(), 20);
        typeText(field(label), "1");
    }
    click(button(u8"取　消"));
    EXPECT_EQ(shown(), "1 2 3 2 4 6 3 01");
    EXPECT_EQ(enabledControls(), 7);
    EXPECT_EQ(focus(), targetBox());

    click(button(u8"設　定"));
    const char* typed[] = {" +12", "-99999999999", "99999999999", "ab", "3", "12ab", "\t-4"};
    for (int i = 0; i < 7; ++i) typeText(field(fieldLabels[i]), typed[i]);
    click(button(u8"半角カナ→全角カナ"));
    click(button(u8"英小文字→英大文字"));
    click(button(u8"適　用"));
    EXPECT_EQ(enabledControls(), 7);
    EXPECT_EQ(windowText(field(fieldLabels[0])), " +12");

    click(button(u8"設　定"));
    for (const char* label : fieldLabels) typeText(field(label), "5");
    click(button(u8"英小文字→英大文字"));
    click(button(u8"取　消"));
    EXPECT_EQ(shown(), "12 -2147483648 1073741823 0 3 12 -4 10");

    // Closing with the panel open saves the settings last applied, not the panel's text.
    click(button(u8"設　定"));
    typeText(field(fieldLabels[0]), "9");
    EXPECT_EQ(close(), 0);
    EXPECT_EQ(file("init.ini"),
              settingsFile({12, -2147483648, 2147483647, 0, 6, 24, 1, 0, -4, -4}));
}

} // namespace
