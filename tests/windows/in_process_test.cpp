// What the real program's window does not show to another process: the icons and modality of its
// message boxes, drops from the shell, a search whose result no editor opens, and the DLL search
// restriction. The main window is opened in this process as start-up opens it.

#include "window_support.h"

#include "app_files.h"
#include "controls.h"
#include "main_window.h"
#include "startup.h"

#include <shlobj.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <thread>

namespace {

// A message box with what only its own process sees.
struct Box {
    std::string seen;
    HICON icon;
    bool taskModal; // the thread's other top-level windows were disabled while it showed
};

// Runs `action`; every message box that it shows is read and answered with `button`.
std::vector<Box> watchBoxes(const std::function<void()>& action, int button = IDOK) {
    HWND witness = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, 0, 0, 0, 0);
    std::vector<Box> boxes;
    std::atomic<bool> done = false;
    std::thread watcher([&] {
        while (!done) {
            HWND box = findWindowOf(GetCurrentProcessId(), "#32770");
            if (!box || windowText(GetDlgItem(box, 0xFFFF)).empty()) continue;
            Box seen = {readMessageBox(box), nullptr, !IsWindowEnabled(witness)};
            for (HWND child : childrenOf(box))
                if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                    seen.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
            boxes.push_back(seen);
            PostMessageA(box, WM_COMMAND, button, 0);
            waitFor([&] { return !IsWindow(box); });
        }
    });
    action();
    done = true;
    watcher.join();
    DestroyWindow(witness);
    return boxes;
}

class InProcess : public testing::Test {
  protected:
    void SetUp() override {
        appInstance = GetModuleHandleA(nullptr);
        appSettings.keywordCounts = 10;
        ASSERT_TRUE(registerMainWindowClass(appInstance));
        ASSERT_TRUE(createMainWindow(appInstance, SW_SHOWNORMAL));
    }
    void TearDown() override { DestroyWindow(mainWindow); }
    TemporaryFolder folder;
};

// Errors warn and confirmations inform, task-modal without owner; the close asks its window.
TEST_F(InProcess, MessageBoxesShowTheirIcons) {
    writeBytes(folder.file("target.txt"), "b\r\n");
    // No program opens this name, as none may open result.txt on some desktop.
    std::snprintf(resultPath, pathSize, "%s", folder.file("result.unassociated").c_str());
    SetWindowTextA(targetEdit, folder.file("target.txt").c_str());
    SetWindowTextA(keywordEdits[0], "b");
    std::vector<Box> seen = watchBoxes([] { SendMessageA(searchButtons[0], BM_CLICK, 0, 0); });
    std::vector<Box> close = watchBoxes([] { SendMessageA(mainWindow, WM_CLOSE, 0, 0); }, IDNO);
    seen.insert(seen.end(), close.begin(), close.end());
    ASSERT_EQ(seen.size(), 3u);
    const char* texts[] = {u8"検索処理が終了しました", u8"標準エディタの起動に失敗しました",
                           u8"Tallyonを終了します"};
    const LPCSTR icons[] = {IDI_INFORMATION, IDI_WARNING, IDI_QUESTION};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(seen[i].seen.find(sjis(texts[i])), 0u) << seen[i].seen;
        EXPECT_EQ(seen[i].icon, LoadIconA(nullptr, icons[i])) << i;
        // With an owner, Wine disables the owner only.
        EXPECT_TRUE(seen[i].taskModal || i == 2) << i;
    }
    EXPECT_TRUE(IsWindow(mainWindow));
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

TEST_F(InProcess, ADropOnTheTargetBoxTakesTheFirstPathOnlyAndADropElsewhereNothing) {
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

// The restriction holds for the rest of the process; ctest runs each test in a process of its own.
TEST(StartUp, DllsLoadByNameOnlyFromTheSystemFolder) {
    HMODULE planted = LoadLibraryA("dll_search_probe.dll");
    ASSERT_NE(planted, nullptr) << "the probe lies beside the test program";
    FreeLibrary(planted);
    ASSERT_TRUE(restrictDllSearchToSystemFolder());
    EXPECT_EQ(LoadLibraryA("dll_search_probe.dll"), nullptr);
    EXPECT_NE(LoadLibraryA("version.dll"), nullptr);
}

} // namespace
