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
#include <thread>

namespace {

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
    writeBytes(folder.file(u8"メモ😀.txt"), "b\r\n");
    // No program opens this name, as none may open result.txt on some desktop.
    resultPath = folder.file("result.unassociated");
    typeText(targetEdit, folder.file(u8"メモ😀.txt"));
    SetWindowTextA(keywordEdits[0], "b");
    // A witness window shows whether a box disables the thread's other top-level windows.
    HWND witness = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, 0, 0, 0, 0);
    std::vector<std::string> seen; // text, icon (information, warning, question) and modality
    std::atomic<bool> done = false;
    std::thread watcher([&] {
        const LPCSTR icons[] = {IDI_INFORMATION, IDI_WARNING, IDI_QUESTION};
        while (!done) {
            HWND box = messageBoxOf(GetCurrentProcessId()), icon = nullptr;
            if (!box) continue;
            do icon = FindWindowExA(box, icon, "Static", nullptr);
            while (icon && (GetWindowLongA(icon, GWL_STYLE) & SS_TYPEMASK) != SS_ICON);
            int kind = 0;
            while (kind < 3 && SendMessageA(icon, STM_GETICON, 0, 0) !=
                                   reinterpret_cast<LRESULT>(LoadIconA(nullptr, icons[kind])))
                ++kind;
            std::string modality = IsWindowEnabled(witness) ? "" : " task-modal";
            std::string text = answer(box, IDNO); // No ends the boxes with OK alone as well
            seen.push_back(text.substr(0, text.find(" | ")) + " " + "iwq?"[kind] + modality);
        }
    });
    SendMessageA(searchButtons[0], BM_CLICK, 0, 0);
    SendMessageA(mainWindow, WM_CLOSE, 0, 0);
    done = true;
    watcher.join();
    DestroyWindow(witness);
    // With an owner, Wine disables the owner only.
    EXPECT_EQ(seen, (std::vector<std::string>{u8"検索処理が終了しました i task-modal",
                                              u8"標準エディタの起動に失敗しました w task-modal",
                                              u8"Tallyonを終了します q"}));
    EXPECT_TRUE(IsWindow(mainWindow));
}

// A file list as the shell hands it over: DROPFILES, then NUL-terminated UTF-16 paths and one
// more NUL.
HGLOBAL dropBlock(const std::wstring& paths) {
    const size_t size = paths.size() * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + size + sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(header + 1, paths.data(), size);
    GlobalUnlock(block);
    return block;
}

TEST_F(InProcess, ADropOnTheTargetBoxTakesTheFirstPathOnlyAndADropElsewhereNothing) {
    SetWindowTextA(targetEdit, "typed before");
    const std::string first = u8"C:\\한글🍣\\メモ😀.txt";
    for (HWND dropped : {keywordEdits[0], mainWindow, targetEdit}) {
        HGLOBAL block = dropBlock(wide(first) + L'\0' + L"C:\\b.txt" + L'\0');
        SendMessageA(dropped, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
        EXPECT_EQ(windowText(targetEdit), dropped == targetEdit ? first : "typed before");
    }
    EXPECT_EQ(windowText(keywordEdits[0]), "");
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
