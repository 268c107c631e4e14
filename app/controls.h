#pragma once

// The handles of the main window and its controls. The main window creates the controls; the
// commands read and change them.

#include "settings.h"

#include <windows.h>

#include <string>
#include <string_view>

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

// What a control holds, in UTF-8: whole characters as far as their code page 932 form fills 1023
// bytes, as the code page functions read a text into 1024 bytes on a Japanese Windows.
std::string controlText(HWND control);

// Shows code page 932 text in a control.
void setControlText(HWND control, std::string_view codePage932);

// Enables or disables the target-file area and the keyword rows; enabling moves the focus to the
// target box.
void enableMainControls(bool enable);

// Enables or disables the twenty controls of the settings panel; enabling moves the focus to its
// first field.
void enableSettingsPanel(bool enable);
