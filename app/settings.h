#pragma once

#include "keyword_engine.h"
#include "settings_file.h"

// keywordCounts, except that a negative count from init.ini shows no rows, like 0.
int keywordRowsShown();

// Reads appSettings from iniPath; missing values take their defaults, and more than
// maxKeywordRows rows become maxKeywordRows.
void loadSettings();

// Replaces the four sections of iniPath with appSettings. The other sections and lines of the
// file stay, and the new file takes the old one's place only once it is complete. A failure
// leaves the file as it was, without a message.
void saveSettings();
