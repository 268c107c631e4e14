#pragma once

#include "keyword_engine.h"

#include <set>
#include <string>

// Words ordered by unsigned byte comparison (std::string's own order).
using WordSet = std::set<std::string>;

// A word list in the encoding of its file. `words` holds each word in code page 932: that is what
// the engine takes and what a registered word is checked against. A list in UTF-8 or UTF-16 also
// keeps its words as the file has them (`fileWords`), so that a save gives every word back
// unchanged, also one without a code page 932 form and two that share one; a Shift-JIS list has
// its words in `words` alone.
struct WordList {
    TextEncoding encoding = TextEncoding::ShiftJis;
    std::string mark; // the byte order mark the file began with, if any
    WordSet words;
    WordSet fileWords;
};

// The words as the file has them.
const WordSet& wordsAsInFile(const WordList& list);

// Reads a list file in text mode, in the encoding that its byte order mark or its first bytes
// above 0x7F show: CR is dropped, 0x1A ends the data, LF ends a line, a NUL ends the word of its
// line, and empty lines carry no word; in UTF-16 these are units, not bytes. False when the file
// cannot be opened or read.
bool loadWordList(const char* path, WordList& list);

// Adds a word as the user typed it, given in UTF-8. A UTF-8 or UTF-16 list takes it as typed, also
// with characters that code page 932 lacks, unless its code page 932 form is there already and
// stands for it whole. A Shift-JIS list takes its code page 932 form, and refuses a word with a
// character that code page 932 lacks: false, and the list stays as it was.
bool addWord(WordList& list, const std::string& typed);

// Writes the list in its encoding, its byte order mark first, then every word as the file had it
// followed by CR LF, in ascending byte order. The file is written beside the list and only then
// put in its place, so a failure at any point leaves the old list as it was. False on any failure.
bool saveWordList(const char* path, const WordList& list);
