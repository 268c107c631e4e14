#pragma once

#include "word_lists.h"

#include <windows.h>

constexpr int pathSize = 1024;

// The window title, the name of the window class and the name of the single-instance mutex.
extern const char appTitle[];

extern HINSTANCE appInstance;
extern HANDLE instanceMutex;
extern HWND mainWindow;

// The five files lie beside the executable; moduleDir ends with a backslash.
extern char moduleDir[pathSize];
extern char iniPath[pathSize];
extern char userWordPath[pathSize];
extern char ignorePath[pathSize];
extern char keywordLogPath[pathSize];
extern char resultPath[pathSize];

extern WordSet userWords;
extern WordSet ignoreWords;

// Shift-JIS texts of the two list files' failure, at start-up and at the close alike.
extern const char userWordListMessage[]; // ユーザー単語リストのオープンに失敗しました
extern const char ignoreListMessage[]; // 除外リストのオープンに失敗しました

// Shows an error as every error message of the program: caption エラー, warning icon, OK button,
// task-modal, no owner window.
void showError(const char* text);

// Shows a confirmation of success: information icon, OK button, task-modal, no owner window.
void showInformation(const char* text, const char* caption);

// Makes every DLL loaded by name from now on come from the system folder only, so that a DLL
// placed beside the executable or in the current directory cannot stand in for a system one.
// False when the system cannot restrict the search.
bool restrictDllSearchToSystemFolder();

// Creates the named mutex owned by this process. False, after the message, when another instance
// holds it or it cannot be created.
bool claimSingleInstance();

// Sets moduleDir from the executable's path and the five file paths from moduleDir.
void findFilePaths();

// Loads userWords and then ignoreWords. False, after the list's message, when one cannot be opened.
bool loadWordLists();

bool registerMainWindowClass(HINSTANCE instance);

// Creates, shows and paints the main window. 1 on success, 0 on failure.
int createMainWindow(HINSTANCE instance, int showCommand);
