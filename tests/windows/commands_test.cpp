// The window's commands driven in-process as a user drives them: clicks on its buttons, text in
// its boxes, answers to its message boxes.

#include "message_boxes.h"
#include "test_window.h"

#include "app_files.h"
#include "commands.h"
#include "controls.h"
#include "main_window.h"
#include "search_banners.h"
#include "startup.h"
#include "test_files.h"
#include "texts.h"

#include <dlgs.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <functional>
#include <thread>

namespace {

// A message box as the user should see it.
struct Box {
    std::string text;
    std::string caption;
    LPCSTR icon;
};

Box warning(const char* text) {
    return {sjis(text), sjis(u8"エラー"), IDI_WARNING};
}

Box information(const char* text, const char* caption) {
    return {sjis(text), sjis(caption), IDI_INFORMATION};
}

const Box finished = information(u8"検索処理が終了しました", u8"終了");
const Box noTarget = warning(u8"対象ファイルを指定してください");
const Box ioError = warning(u8"入出力エラーが発生しました");
const Box searchError = warning(u8"検索エラーが発生しました");
const Box noEditor = warning(u8"標準エディタの起動に失敗しました");
const Box noKeyword = warning(u8"キーワードがありません");

// Every box but the exit confirmation has an OK button, no owner and is task-modal.
void expectBoxes(const std::vector<SeenMessageBox>& seen, const std::vector<Box>& expected) {
    ASSERT_EQ(seen.size(), expected.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE("box " + std::to_string(i));
        EXPECT_EQ(seen[i].text, expected[i].text);
        EXPECT_EQ(seen[i].caption, expected[i].caption);
        EXPECT_EQ(seen[i].icon, LoadIconA(nullptr, expected[i].icon));
        EXPECT_EQ(seen[i].buttons, std::vector<int>{IDOK});
        EXPECT_EQ(seen[i].owner, nullptr);
        EXPECT_TRUE(seen[i].taskModal);
    }
}

void click(HWND button) {
    SendMessageA(button, BM_CLICK, 0, 0);
}

std::vector<SeenMessageBox> clickAndAnswer(HWND button, int answer = IDOK) {
    return watchMessageBoxes([&] { click(button); }, answer);
}

std::vector<HWND> mainControls() {
    std::vector<HWND> controls = {englishCheck, settingsButton, targetLabel, targetEdit,
                                  browseButton, runButton,      legendLabel};
    for (int i = 0; i < keywordRowsShown(); ++i)
        controls.insert(controls.end(), {rankLabels[i], keywordEdits[i], countEdits[i],
                                         searchButtons[i], userWordButtons[i], excludeButtons[i]});
    return controls;
}

std::vector<HWND> panelControls() {
    std::vector<HWND> controls = {settingsGroup, minBytesLabel, minCountLabel, toFullWidthCheck,
                                  toUpperCheck,  minCountEdit,  applyButton,   cancelButton};
    controls.insert(controls.end(), std::begin(classLabels), std::end(classLabels));
    controls.insert(controls.end(), std::begin(minBytesEdits), std::end(minBytesEdits));
    return controls;
}

std::vector<bool> enabledStates(const std::vector<HWND>& controls) {
    std::vector<bool> states;
    for (HWND control : controls) states.push_back(IsWindowEnabled(control) != FALSE);
    return states;
}

// The focus of the main window. Windows of other tests running at the same time may take the
// activation, and with it the focus, so the main window is brought to the front first: it gives
// the focus back to where it was.
HWND focusedControl() {
    for (int attempt = 0; attempt < 20; ++attempt) {
        SetForegroundWindow(mainWindow);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        HWND focus = GetFocus();
        if (GetForegroundWindow() == mainWindow) return focus;
        Sleep(50);
    }
    return nullptr;
}

std::vector<std::string> texts(const HWND* controls, int count) {
    std::vector<std::string> result;
    for (int i = 0; i < count; ++i) result.push_back(windowText(controls[i]));
    return result;
}

void setPath(char* path, const std::string& value) {
    std::snprintf(path, pathSize, "%s", value.c_str());
}

class Commands : public testing::Test {
  protected:
    void SetUp() override { resetPaths(); }

    // Every file in the test's folder, both word sets empty.
    void resetPaths() {
        setPath(iniPath, folder.file("init.ini"));
        setPath(userWordPath, folder.file("userword.lst"));
        setPath(excludedListPath, folder.file("ignore.lst"));
        setPath(keywordLogPath, folder.file("keyword.log"));
        // No program is associated with this name, so a search opens no editor here: the tests
        // of the real program open result.txt.
        setPath(resultPath, folder.file("result.unassociated"));
        userWords.clear();
        ignoreWords.clear();
        englishMode = 0;
    }

    void TearDown() override { closeMainWindow(); }

    void open(const AppSettings& settings = {{}, 0, 10, 0, 0}) {
        ASSERT_TRUE(openMainWindow(settings));
    }

    // Writes the target file and types its path into the target box.
    void setTarget(const std::string& bytes) {
        writeBytes(folder.file("target.txt"), bytes);
        SetWindowTextA(targetEdit, folder.file("target.txt").c_str());
    }

    std::vector<std::string> keywords() { return texts(keywordEdits, keywordRowsShown()); }
    std::vector<std::string> counts() { return texts(countEdits, keywordRowsShown()); }

    TemporaryFolder folder;
};

TEST_F(Commands, EachStateEnablesItsControlsAndPlacesTheFocus) {
    open();
    struct Step {
        const char* name;
        HWND clicked; // nullptr: the state right after start-up
        bool settingsState;
    };
    const Step steps[] = {{"start", nullptr, false},
                          {"設定", settingsButton, true},
                          {"取消", cancelButton, false},
                          {"設定 again", settingsButton, true},
                          {"適用", applyButton, false}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        if (step.clicked) {
            EXPECT_TRUE(clickAndAnswer(step.clicked).empty());
        }
        EXPECT_EQ(enabledStates(mainControls()),
                  std::vector<bool>(mainControls().size(), !step.settingsState));
        EXPECT_EQ(enabledStates(panelControls()),
                  std::vector<bool>(panelControls().size(), step.settingsState));
        EXPECT_EQ(focusedControl(), step.settingsState ? minBytesEdits[0] : targetEdit);
    }
}

// A target that is a pipe: the run waits for its content, and meanwhile another thread sees the
// window as the user would.
class PipeTarget {
  public:
    explicit PipeTarget(const std::string& content) {
        pipe = CreateNamedPipeA(name, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096,
                                4096, 0, nullptr);
        writer = std::thread([this, content] {
            if (ConnectNamedPipe(pipe, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED) {
                mainDuringRun = enabledStates(mainControls());
                panelDuringRun = enabledStates(panelControls());
                DWORD written = 0;
                WriteFile(pipe, content.data(), static_cast<DWORD>(content.size()), &written,
                          nullptr);
                // Closing, not disconnecting, lets the reader have the rest and then the end.
                FlushFileBuffers(pipe);
            }
            CloseHandle(pipe);
        });
    }
    ~PipeTarget() { writer.join(); }

    static constexpr const char* name = "\\\\.\\pipe\\tallyon-commands-test";
    HANDLE pipe;
    std::thread writer;
    std::vector<bool> mainDuringRun;
    std::vector<bool> panelDuringRun;
};

TEST_F(Commands, EveryControlIsDisabledWhileTheEngineRuns) {
    open();
    SetWindowTextA(keywordEdits[0], "b");
    for (HWND button : {runButton, searchButtons[0]}) {
        SCOPED_TRACE(windowText(button));
        std::vector<bool> main, panel;
        {
            PipeTarget target("a b\r\nb\r\n");
            SetWindowTextA(targetEdit, PipeTarget::name);
            expectBoxes(clickAndAnswer(button), button == runButton
                                                    ? std::vector<Box>{finished}
                                                    : std::vector<Box>{finished, noEditor});
            main = target.mainDuringRun;
            panel = target.panelDuringRun;
        }
        EXPECT_EQ(main, std::vector<bool>(mainControls().size(), false));
        EXPECT_EQ(panel, std::vector<bool>(panelControls().size(), false));
        EXPECT_EQ(enabledStates(mainControls()), std::vector<bool>(mainControls().size(), true));
        EXPECT_EQ(focusedControl(), targetEdit);
    }
    EXPECT_EQ(readBytes(keywordLogPath), "2 : b\r\n1 : a\r\n");
}

TEST_F(Commands, EveryOutcomeOfARunShowsItsMessage) {
    struct Case {
        const char* name;
        std::function<void(const TemporaryFolder&)> prepare;
        HWND* button;
        std::vector<Box> boxes;
        std::string output; // what keyword.log or result.txt holds afterwards
    };
    auto noTargetPath = [](const TemporaryFolder&) { SetWindowTextA(targetEdit, ""); };
    auto missingTarget = [](const TemporaryFolder& f) {
        SetWindowTextA(targetEdit, f.file("missing.txt").c_str());
    };
    const Case cases[] = {
        {"実行 without target", noTargetPath, &runButton, {noTarget}, "old"},
        {"♪ without target", noTargetPath, &searchButtons[0], {noTarget}, "old"},
        {"♪ on a missing target", missingTarget, &searchButtons[0], {searchError}, searchHeader},
        {"keyword.log unwritable",
         [](const TemporaryFolder& f) { setPath(keywordLogPath, f.file("no\\keyword.log")); },
         &runButton,
         {ioError},
         ""},
        {"result file unwritable",
         [](const TemporaryFolder& f) { setPath(resultPath, f.file("no\\result.txt")); },
         &searchButtons[0],
         {ioError},
         ""},
        {"♪ done, no editor",
         [](const TemporaryFolder&) {},
         &searchButtons[0],
         {finished, noEditor},
         searchHeader + "1L : b\r\n\r\n2L : b\r\n\r\n" + searchFooter},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        resetPaths();
        open();
        setTarget("b\r\nb\r\n");
        SetWindowTextA(keywordEdits[0], "b");
        writeBytes(keywordLogPath, "old");
        writeBytes(resultPath, "old");
        c.prepare(folder);
        expectBoxes(clickAndAnswer(*c.button), c.boxes);
        EXPECT_EQ(readBytes(*c.button == runButton ? keywordLogPath : resultPath), c.output);
        closeMainWindow();
    }
}

// Codes 0 to 2 come from real runs above.
TEST(RunResult, EachCodeHasItsMessage) {
    struct Case {
        RunKind kind;
        int code;
        std::vector<Box> boxes;
    };
    const Case cases[] = {
        {KeywordRun, 3, {warning(u8"キーワード生成エラーが発生しました")}},
        {SearchRun, 4, {warning(u8"バッファオーバーフローが発生しました")}},
        {SearchRun, 5, {}},
        {KeywordRun, -1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("code " + std::to_string(c.code));
        expectBoxes(watchMessageBoxes([&] { showRunResult(c.kind, c.code); }), c.boxes);
    }
}

TEST_F(Commands, RowsShowEachKeywordRunWhateverWasInThem) {
    open();
    const std::vector<std::string> empty(10, "");
    EXPECT_EQ(keywords(), empty);
    EXPECT_EQ(counts(), empty);

    // Fewer ranked words than rows; then text typed into a row.
    setTarget("c c c\r\nb b\r\na\r\n");
    expectBoxes(clickAndAnswer(runButton), {finished});
    EXPECT_EQ(keywords(), (std::vector<std::string>{"c", "b", "a", "", "", "", "", "", "", ""}));
    EXPECT_EQ(counts(), (std::vector<std::string>{"3", "2", "1", "", "", "", "", "", "", ""}));
    SetWindowTextA(keywordEdits[1], "typed");
    SetWindowTextA(keywordEdits[7], "typed");

    // More ranked words than rows, one of them 12345 times; equal counts rank the greater word
    // first.
    std::string text;
    for (int i = 0; i < 12345; ++i) text += "w\r\n";
    for (char word = 'a'; word <= 'k'; ++word) text += std::string(1, word) + "\r\n";
    setTarget(text);
    expectBoxes(clickAndAnswer(runButton), {finished});
    EXPECT_EQ(keywords(),
              (std::vector<std::string>{"w", "k", "j", "i", "h", "g", "f", "e", "d", "c"}));
    EXPECT_EQ(counts(),
              (std::vector<std::string>{"12345", "1", "1", "1", "1", "1", "1", "1", "1", "1"}));

    // A failed run empties every row.
    SetWindowTextA(targetEdit, folder.file("missing.txt").c_str());
    expectBoxes(clickAndAnswer(runButton), {searchError});
    EXPECT_EQ(keywords(), empty);
    EXPECT_EQ(counts(), empty);
}

TEST_F(Commands, RegistrationTakesTheRowTextAsItIs) {
    open();
    expectBoxes(clickAndAnswer(userWordButtons[0]), {noKeyword});
    expectBoxes(clickAndAnswer(excludeButtons[9]), {noKeyword});
    EXPECT_TRUE(userWords.empty());
    EXPECT_TRUE(ignoreWords.empty());

    const Box userWordAdded = information(u8"ユーザー単語リストに追加しました", u8"ユーザー単語");
    const Box ignoreWordAdded = information(u8"除外リストに追加しました", u8"除外");
    const std::string spaced = sjis(u8" 東京 x ");
    SetWindowTextA(keywordEdits[2], spaced.c_str());
    SetWindowTextA(countEdits[2], "7");
    expectBoxes(clickAndAnswer(userWordButtons[2]), {userWordAdded});
    expectBoxes(clickAndAnswer(userWordButtons[2]), {userWordAdded});
    expectBoxes(clickAndAnswer(excludeButtons[2]), {ignoreWordAdded});
    SetWindowTextA(keywordEdits[9], "Abc");
    expectBoxes(clickAndAnswer(excludeButtons[9]), {ignoreWordAdded});
    EXPECT_EQ(userWords, WordSet{spaced});
    EXPECT_EQ(ignoreWords, (WordSet{spaced, "Abc"}));
    EXPECT_EQ(windowText(keywordEdits[2]), spaced);
    EXPECT_EQ(windowText(countEdits[2]), "7");
}

TEST_F(Commands, TheEnglishSwitchIsReadAtEachKeywordRunOnly) {
    open();
    setTarget("a\r\n");
    click(englishCheck);
    EXPECT_EQ(englishMode, 0);
    expectBoxes(clickAndAnswer(runButton), {finished});
    EXPECT_EQ(englishMode, 1);
    click(englishCheck);
    expectBoxes(clickAndAnswer(searchButtons[0]), {finished, noEditor});
    EXPECT_EQ(englishMode, 1);
    expectBoxes(clickAndAnswer(runButton), {finished});
    EXPECT_EQ(englishMode, 0);
}

TEST_F(Commands, ApplyNeedsEveryFieldAndLeavesTheSettingsOtherwise) {
    const AppSettings stored = {{1, 2, 7, 5, 8, 9}, 3, 10, 2, 1};
    open(stored);
    std::vector<HWND> fields(std::begin(minBytesEdits), std::end(minBytesEdits));
    fields.push_back(minCountEdit);
    for (HWND field : fields) {
        click(settingsButton);
        std::string shown = windowText(field);
        SetWindowTextA(field, "");
        expectBoxes(clickAndAnswer(applyButton), {warning(u8"全ての項目に値を入力してください")});
        EXPECT_EQ(appSettings, stored);
        EXPECT_TRUE(IsWindowEnabled(applyButton));
        EXPECT_FALSE(IsWindowEnabled(runButton));
        EXPECT_EQ(windowText(field), "");
        click(cancelButton);
        EXPECT_EQ(windowText(field), shown);
    }
}

TEST_F(Commands, ApplyTakesTheTextAsTypedAndCancelShowsTheSettingsAgain) {
    // The odd full-width length 5 shows as 2 and the switch value 2 unticked: apply changes both.
    open({{1, 2, 7, 5, 8, 9}, 3, 10, 2, 1});
    struct Typing {
        HWND edit;
        const char* text;
    };
    auto applyTyped = [](std::initializer_list<Typing> typings) {
        click(settingsButton);
        for (const Typing& typing : typings) SetWindowTextA(typing.edit, typing.text);
        EXPECT_TRUE(clickAndAnswer(applyButton).empty());
    };

    applyTyped({{minBytesEdits[0], "007"},
                {minBytesEdits[1], " +12"},
                {minBytesEdits[4], "3"},
                {minBytesEdits[5], "12ab"},
                {minCountEdit, "-4"}});
    EXPECT_EQ(appSettings, (AppSettings{{7, 12, 6, 4, 6, 24}, -4, 10, 0, 1}));
    EXPECT_EQ(windowText(minBytesEdits[0]), "007");

    // Text set from outside the edit boxes' digit filter.
    click(toFullWidthCheck);
    click(toUpperCheck);
    applyTyped({{minBytesEdits[0], "ab"},
                {minBytesEdits[2], "99999999999"},
                {minBytesEdits[3], "-99999999999"},
                {minCountEdit, "\t9"}});
    EXPECT_EQ(appSettings, (AppSettings{{0, 12, INT_MAX, INT_MIN, 6, 24}, 9, 10, 1, 0}));

    click(settingsButton);
    EXPECT_EQ(windowText(minBytesEdits[1]), " +12");
    for (HWND edit : minBytesEdits) SetWindowTextA(edit, "5");
    click(toFullWidthCheck);
    click(cancelButton);
    EXPECT_EQ(texts(minBytesEdits, 6),
              (std::vector<std::string>{"0", "12", "1073741823", "-1073741824", "3", "12"}));
    EXPECT_EQ(windowText(minCountEdit), "9");
    EXPECT_EQ(SendMessageA(toFullWidthCheck, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(toUpperCheck, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

// The close asks, then saves both lists and then the settings. A list that cannot be written keeps
// the window open with everything in it until a later close succeeds; the settings file is left
// as it was when it cannot be written, and the close goes on.
TEST_F(Commands, AFileThatCannotBeWrittenAtTheCloseLosesNothing) {
    struct Case {
        const char* folderInPlaceOf;
        std::vector<Box> boxes; // after the confirmation
        bool closed, userWordListWritten;
    };
    const Case cases[] = {
        {"init.ini.tmp", {}, true, true},
        {"init.ini", {}, true, true},
        {"userword.lst.tmp",
         {warning(u8"ユーザー単語リストのオープンに失敗しました")},
         false,
         false},
        {"ignore.lst.tmp", {warning(u8"除外リストのオープンに失敗しました")}, false, true},
    };
    const std::string oldList = "old\r\n", oldSettings = "[Convert]\r\nTODOUBLE = 1\r\n";
    auto closeWithYes = [] {
        std::vector<SeenMessageBox> seen =
            watchMessageBoxes([] { SendMessageA(mainWindow, WM_CLOSE, 0, 0); }, IDYES);
        EXPECT_FALSE(seen.empty());
        if (seen.empty()) return seen;
        EXPECT_EQ(seen[0].text, sjis(u8"Tallyonを終了します"));
        EXPECT_EQ(seen[0].caption, sjis(u8"確認"));
        EXPECT_EQ(seen[0].icon, LoadIconA(nullptr, IDI_QUESTION));
        EXPECT_EQ(seen[0].buttons, (std::vector<int>{IDYES, IDNO}));
        EXPECT_EQ(seen[0].owner, mainWindow);
        seen.erase(seen.begin());
        return seen;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folderInPlaceOf);
        TemporaryFolder caseFolder;
        for (char* path : {iniPath, userWordPath, excludedListPath}) {
            std::string name = std::strrchr(path, '\\') + 1;
            setPath(path, caseFolder.file(name));
            writeBytes(path, name == "init.ini" ? oldSettings : oldList);
        }
        const std::string obstacle = caseFolder.file(c.folderInPlaceOf);
        DeleteFileA(obstacle.c_str());
        ASSERT_TRUE(CreateDirectoryA(obstacle.c_str(), nullptr));
        userWords = {"a"};
        ignoreWords = {"z"};
        open();
        // Closing with the panel open saves the settings last applied, not the panel's text.
        click(settingsButton);
        SetWindowTextA(minBytesEdits[0], "9");

        expectBoxes(closeWithYes(), c.boxes);
        EXPECT_EQ(IsWindow(mainWindow) == FALSE, c.closed);
        EXPECT_EQ(readBytes(userWordPath), c.userWordListWritten ? "a\r\n" : oldList);
        EXPECT_EQ(readBytes(excludedListPath), c.closed ? "z\r\n" : oldList);
        // A settings file that cannot be read is not replaced, and no new file is left beside it.
        if (std::string(c.folderInPlaceOf) != "init.ini") {
            EXPECT_EQ(readBytes(iniPath), oldSettings);
        } else {
            EXPECT_EQ(GetFileAttributesA((obstacle + ".tmp").c_str()), INVALID_FILE_ATTRIBUTES);
        }
        if (!c.closed) {
            RemoveDirectoryA(obstacle.c_str());
            expectBoxes(closeWithYes(), {});
            EXPECT_FALSE(IsWindow(mainWindow));
            EXPECT_EQ(readBytes(userWordPath), "a\r\n");
            EXPECT_EQ(readBytes(excludedListPath), "z\r\n");
            std::string saved = readBytes(iniPath);
            EXPECT_NE(saved.find("[Convert]\r\nTODOUBLE = 0\r\nTOUPPER = 0\r\n"),
                      std::string::npos);
            EXPECT_NE(saved.find("[MinimumBytes]\r\nHANKAKUEISUKIGO = 0\r\n"), std::string::npos);
        }
        closeMainWindow();
    }
}

TEST_F(Commands, BrowseOffersAllFilesAndStartsFromTheLastChoice) {
    open();
    const std::string chosen = folder.file("chosen.txt");
    writeBytes(chosen, "");
    std::string filter;
    LRESULT filters = 0;
    watchDialogs([] { click(browseButton); },
                 [&](HWND dialog) {
                     HWND filterBox = GetDlgItem(dialog, cmb1);
                     filter = windowText(filterBox);
                     filters = SendMessageA(filterBox, CB_GETCOUNT, 0, 0);
                     SetWindowTextA(GetDlgItem(dialog, cmb13), chosen.c_str());
                     PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                 });
    EXPECT_EQ(filter, "All files {*.*}");
    EXPECT_EQ(filters, 1);
    EXPECT_EQ(windowText(targetEdit), chosen);

    SetWindowTextA(targetEdit, "typed");
    std::string offered;
    watchDialogs([] { click(browseButton); },
                 [&](HWND dialog) {
                     offered = windowText(GetDlgItem(dialog, cmb13));
                     PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                 });
    EXPECT_EQ(offered, "chosen.txt");
    EXPECT_EQ(windowText(targetEdit), "typed");
}

} // namespace
