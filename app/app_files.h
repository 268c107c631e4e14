#pragma once

// The five files beside the executable: their paths, and the two word lists as the window keeps
// them between the start and the close.

#include "word_lists.h"

constexpr int pathSize = 1024;

extern char iniPath[pathSize];
extern char userWordPath[pathSize];
extern char excludedListPath[pathSize];
extern char keywordLogPath[pathSize];
extern char resultPath[pathSize];

extern WordList userWords;
extern WordList ignoreWords; // the excluded words

// Sets the five paths from the folder of the executable.
void findFilePaths();

// Loads userWords and then ignoreWords. False, after the list's message, when one cannot be opened.
bool loadWordLists();

// Saves userWords and then ignoreWords. False, after the list's message, when one cannot be
// saved; a list not saved keeps its old file.
bool saveWordLists();
