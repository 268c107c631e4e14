#pragma once

// The handles of the main window and its controls. The main window creates the controls; the
// commands read and change them.

#include "settings.h"

#include <windows.h>

extern HINSTANCE appInstance;
extern HWND mainWindow;

// Target-file area.
extern HWND englishCheck;
extern HWND settingsButton;
extern HWND targetLabel;
extern HWND targetEdit;
extern HWND browseButton;
extern HWND runButton;
extern HWND legendLabel;

// Keyword rows: entry i is row i, showing rank i + 1. Only the rows of keywordRowsShown() exist;
// the other entries stay null.
extern HWND rankLabels[maxKeywordRows];
extern HWND keywordEdits[maxKeywordRows];
extern HWND countEdits[maxKeywordRows];
extern HWND searchButtons[maxKeywordRows];
extern HWND userWordButtons[maxKeywordRows];
extern HWND excludeButtons[maxKeywordRows];

// Settings panel; classLabels and minBytesEdits follow the order of AppSettings::minBytes.
extern HWND settingsGroup;
extern HWND minBytesLabel;
extern HWND classLabels[6];
extern HWND minBytesEdits[6];
extern HWND toFullWidthCheck;
extern HWND toUpperCheck;
extern HWND minCountLabel;
extern HWND minCountEdit;
extern HWND applyButton;
extern HWND cancelButton;

// Enables or disables the target-file area and the keyword rows; enabling moves the focus to the
// target box.
void enableMainControls(bool enable);

// Enables or disables the twenty controls of the settings panel; enabling moves the focus to its
// first field.
void enableSettingsPanel(bool enable);
