#pragma once

#include <set>
#include <string>

// One word per line, Shift-JIS, ordered by unsigned byte comparison (std::string's own order).
using WordSet = std::set<std::string>;

// Reads a list file in text mode: CR bytes are dropped, 0x1A ends the data, LF ends a line,
// a NUL ends the word of its line, and empty lines carry no word. False when it cannot be
// opened or read.
bool loadWordList(const char* path, WordSet& words);

// Writes every word followed by CR LF into a file beside the list and only then puts it in the
// list's place, so a failure at any point leaves the old list as it was. False on any failure.
bool saveWordList(const char* path, const WordSet& words);
