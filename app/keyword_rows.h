#pragma once

#include "keyword_engine.h"

#include <vector>

// Shows the ranking of a finished keyword run: every row gets its word and count, or nothing
// where the ranking is shorter, also after a failed run and over what the user typed.
void fillKeywordRows(const std::vector<RankingRow>& rows);

// ● and × of a keyword row: add the current text of the row's keyword box to userWords or to the
// excluded words, as typed; an empty box, or a word that a Shift-JIS list cannot hold, gives a
// message instead. The files are written at the close.
void registerUserWord(int row);
void registerExcludedWord(int row);
