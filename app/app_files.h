#pragma once

// The five files beside the executable: their paths, in UTF-8 as openFile (open_file.h) takes
// them, and the two word lists as the window keeps them between the start and the close.

#include "word_lists.h"

#include <string>

extern std::string iniPath;
extern std::string userWordPath;
extern std::string excludedListPath;
extern std::string keywordLogPath;
extern std::string resultPath;

extern WordList userWords;
extern WordList excludedWords;

// Sets the five paths from the folder of the executable.
void findFilePaths();

// Loads userWords and then excludedWords. False, after the list's message, when one cannot be
// opened.
bool loadWordLists();

// Saves userWords and then excludedWords. False, after the list's message, when one cannot be
// saved; a list not saved keeps its old file.
bool saveWordLists();
