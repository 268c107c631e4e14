#pragma once

#include "keyword_engine.h"

#include <windows.h>

// 1 when 英文を処理する was ticked at the start of the last keyword run; never stored.
extern int englishMode;

// A push button or check box of the main window was clicked; the sender is told by its handle.
void onCommand(HWND sender);

// Enables or disables the target-file area and the keyword rows; enabling moves the focus to the
// target box.
void enableMainControls(bool enable);

// Reports a finished run. After a successful search the result file is opened in the program
// that the desktop associates with it.
void showRunResult(RunKind runKind, int resultCode);

// Asks before closing; then saves both word lists and the settings and destroys the window. A
// list that cannot be saved keeps the window open with all its data.
void onClose();
