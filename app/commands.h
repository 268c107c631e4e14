#pragma once

#include "keyword_engine.h"

enum class RunKind { Keywords, Search };

// 1 when 英文を処理する was ticked at the start of the last keyword run; never stored.
extern int englishMode;

// 参　照: the file chosen in the open dialog becomes the target.
void onBrowseButton();

// 実　行: a keyword run over the target, its ranking shown in the keyword rows.
void onRunButton();

// ♪ of a keyword row: a search run for the row's text, the result file opened afterwards.
void onSearchButton(int row);

// Reports a finished run. After a successful search the result file is opened in the program
// that the desktop associates with it.
void showRunResult(RunKind runKind, int resultCode);

// Asks before closing; then saves both word lists and the settings and destroys the window. A
// list that cannot be saved keeps the window open with all its data.
void onClose();
