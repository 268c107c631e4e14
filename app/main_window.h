#pragma once

#include "settings.h"

#include <windows.h>

// Controls are told apart by handle; the identifier only names the kind.
constexpr int staticControlId = 100;
constexpr int editControlId = 101;
constexpr int buttonControlId = 102;
constexpr int groupControlId = 200;

constexpr int mainWindowWidth = 480;

// Target-file area.
extern HWND englishCheck;
extern HWND settingsButton;
extern HWND targetLabel;
extern HWND targetEdit;
extern HWND browseButton;
extern HWND runButton;
extern HWND legendLabel;

// Keyword grid: entry i is keyword row i, showing rank i + 1. Only the rows of
// keywordRowsShown() exist; the other entries stay null.
extern HWND rankLabels[maxKeywordCounts];
extern HWND keywordEdits[maxKeywordCounts];
extern HWND countEdits[maxKeywordCounts];
extern HWND searchButtons[maxKeywordCounts];
extern HWND userWordButtons[maxKeywordCounts];
extern HWND ignoreButtons[maxKeywordCounts];

// Settings panel; classLabels and minBytesEdits follow the order of AppSettings::minBytes.
extern HWND settingsGroup;
extern HWND minBytesLabel;
extern HWND classLabels[6];
extern HWND minBytesEdits[6];
extern HWND toDoubleCheck;
extern HWND toUpperCheck;
extern HWND minCountLabel;
extern HWND minCountEdit;
extern HWND applyButton;
extern HWND cancelButton;

extern WNDPROC oldTargetEditProc;

// keywordCounts, except that a negative count from init.ini shows no rows, like 0.
int keywordRowsShown();

// The outer height grows by 20 pixels for every two keyword rows.
int mainWindowHeight();

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Takes a file dropped from the shell into targetEdit; everything else goes to the edit box.
LRESULT CALLBACK targetEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
