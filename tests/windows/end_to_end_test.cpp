// The real tallyon.exe in a folder of its own, worked only through its window as a user works
// it: text typed into its boxes, clicks on its buttons, answers to its message boxes, and the
// files it leaves behind compared byte for byte.

#include "message_boxes.h"
#include "program.h"

#include "test_files.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// 東京と大阪。東京と京都。 / 大阪の人と東京。
const std::string target = sjis(u8"東京と大阪。東京と京都。\r\n大阪の人と東京。\r\n");

// Four rows; kanji words from one character on, hiragana and full-width symbols from two.
const std::string settingsFile = "[MinimumBytes]\r\nHANKAKUEISUKIGO = 2\r\nHANKAKUKATAKANA = 2\r\n"
                                 "ZENKAKUEISUKIGO = 4\r\nZENKAKUHIRAGANA = 4\r\n"
                                 "ZENKAKUKATAKANA = 4\r\nZENKAKUKANJI = 2\r\n[Convert]\r\n"
                                 "TODOUBLE = 0\r\nTOUPPER = 0\r\n[MinimumCounts]\r\n"
                                 "MINIMUMCOUNTS = 0\r\n[KeywordCounts]\r\nKEYWORDCOUNTS = 4\r\n";

// The children of a window of another process that have this class and, unless null, this
// caption, in creation order.
std::vector<HWND> childrenOf(HWND window, const char* className, const char* caption = nullptr) {
    std::vector<HWND> found;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = {};
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, className) == 0 && (!caption || windowText(child) == sjis(caption)))
            found.push_back(child);
    }
    return found;
}

HWND topLevelWindowOfClass(const char* className) {
    return FindWindowExA(nullptr, nullptr, className, nullptr);
}

// The text of a control of another process: GetWindowTextA would give only its caption.
std::string controlText(HWND control) {
    char text[2048] = {};
    SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

class EndToEnd : public testing::Test {
  protected:
    void SetUp() override {
        writeBytes(installation.file("userword.lst"), "zz\r\n");
        writeBytes(installation.file("ignore.lst"), sjis(u8"人\r\n"));
        writeBytes(installation.file("init.ini"), settingsFile);
        writeBytes(installation.file("target.txt"), target);
    }

    // Starts the program and finds its controls as a user sees them.
    void start() {
        program = std::make_unique<Program>(installation);
        window = program->waitForMainWindow();
        ASSERT_NE(window, nullptr);
        // The target box first, then the keyword boxes of the four rows.
        edits = childrenOf(window, "Edit");
        ASSERT_GE(edits.size(), 5u);
    }

    HWND button(const char* caption, size_t index = 0) {
        std::vector<HWND> buttons = childrenOf(window, "Button", caption);
        return index < buttons.size() ? buttons[index] : nullptr;
    }

    // The edit box that stands right of a label of the settings panel.
    HWND fieldBeside(const char* label) {
        std::vector<HWND> labels = childrenOf(window, "Static", label);
        if (labels.empty()) return nullptr;
        RECT labelRect;
        GetWindowRect(labels[0], &labelRect);
        for (HWND edit : edits) {
            RECT rect;
            GetWindowRect(edit, &rect);
            if (rect.left == labelRect.right && labelRect.top - rect.top == 5) return edit;
        }
        return nullptr;
    }

    void type(HWND edit, const std::string& text) {
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }

    // A click that shows no message box: done when it returns.
    void click(HWND control) { SendMessageA(control, BM_CLICK, 0, 0); }

    // A click that leads to a message box, which is answered; returns the box as seen.
    SeenMessageBox clickAndAnswer(HWND control, int answer = IDOK) {
        PostMessageA(control, BM_CLICK, 0, 0);
        return program->answerMessageBox(answer);
    }

    std::vector<std::string> keywordRows() {
        std::vector<std::string> rows;
        for (size_t i = 1; i <= 4; ++i) rows.push_back(controlText(edits[i]));
        return rows;
    }

    Installation installation;
    std::unique_ptr<Program> program;
    HWND window = nullptr;
    std::vector<HWND> edits;
};

// Lists and settings are kept until the close is confirmed; a list that cannot be written at the
// close is tested in commands_test.cpp.
TEST_F(EndToEnd, AKeywordRunFillsTheRowsAndWordsAndSettingsAreSavedAtTheClose) {
    start();
    click(button(u8"設　定"));
    type(fieldBeside(u8"全角カタカナ"), "3");
    click(button(u8"適　用"));
    type(edits[0], installation.file("target.txt"));
    SeenMessageBox finished = clickAndAnswer(button(u8"実　行"));
    EXPECT_EQ(finished.text, sjis(u8"検索処理が終了しました"));
    EXPECT_EQ(finished.caption, sjis(u8"終了"));
    // 人 is in ignore.lst, so the last row stays empty.
    EXPECT_EQ(keywordRows(),
              (std::vector<std::string>{sjis(u8"東京"), sjis(u8"大阪"), sjis(u8"京都"), ""}));
    EXPECT_EQ(readBytes(installation.file("keyword.log")),
              sjis(u8"3 : 東京\r\n2 : 大阪\r\n1 : 京都\r\n"));

    EXPECT_EQ(clickAndAnswer(button(u8"●", 2)).text, sjis(u8"ユーザー単語リストに追加しました"));
    EXPECT_EQ(clickAndAnswer(button(u8"×", 1)).text, sjis(u8"除外リストに追加しました"));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program->answerMessageBox(IDNO).text, sjis(u8"Tallyonを終了します"));
    EXPECT_TRUE(program->isRunning());
    EXPECT_EQ(readBytes(installation.file("userword.lst")), "zz\r\n");
    EXPECT_EQ(readBytes(installation.file("init.ini")), settingsFile);

    EXPECT_EQ(program->close(window), 0);
    EXPECT_EQ(readBytes(installation.file("userword.lst")), sjis(u8"zz\r\n京都\r\n"));
    EXPECT_EQ(readBytes(installation.file("ignore.lst")), sjis(u8"人\r\n大阪\r\n"));
    // The odd length 3 is taken as 6 bytes.
    std::string saved = settingsFile;
    EXPECT_EQ(readBytes(installation.file("init.ini")),
              saved.replace(saved.find("KATAKANA = 4"), 12, "KATAKANA = 6"));
}

TEST_F(EndToEnd, ASearchRunWritesResultTxtAndOpensItInTheEditor) {
    ASSERT_EQ(topLevelWindowOfClass("Notepad"), nullptr);
    std::string oneRow = settingsFile;
    writeBytes(installation.file("init.ini"),
               oneRow.replace(oneRow.find("KEYWORDCOUNTS = 4"), 17, "KEYWORDCOUNTS = 1"));
    start();
    // The single row stands in the left column.
    RECT row;
    GetWindowRect(edits[1], &row);
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&row), 2);
    EXPECT_EQ(std::make_pair(row.left, row.top), std::make_pair(50L, 90L));
    type(edits[0], installation.file("target.txt"));
    // The rows take typed text before any keyword run.
    type(edits[1], sjis(u8"大阪"));
    EXPECT_EQ(clickAndAnswer(button(u8"♪")).text, sjis(u8"検索処理が終了しました"));
    EXPECT_EQ(readBytes(installation.file("result.txt")),
              sjis(u8"// ※※※※※ 検索結果 開始 ※※※※※ //\r\n\r\n0L : 東京と大阪。\r\n\r\n"
                   u8"1L : 大阪の人と東京。\r\n\r\n// ※※※※※ 検索結果 終了 ※※※※※ //\r\n"));

    // The editor names the file in its title once it has read it.
    HWND editor = waitFor([]() -> HWND {
        HWND found = topLevelWindowOfClass("Notepad");
        return found && windowText(found).find("result.txt") != std::string::npos ? found : nullptr;
    });
    ASSERT_NE(editor, nullptr) << readMessageBox(program->waitForMessageBox()).text;
    PostMessageA(editor, WM_CLOSE, 0, 0);
    EXPECT_TRUE(waitFor([] { return topLevelWindowOfClass("Notepad") == nullptr; }));
    EXPECT_EQ(program->close(window), 0);
}

} // namespace
