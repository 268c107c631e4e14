#pragma once

// The ten settings of init.ini. The minimum lengths are in bytes, in the order of the character
// classes: half-width letters/digits/symbols, half-width katakana, full-width letters/digits/
// symbols, hiragana, full-width katakana, kanji.
struct AppSettings {
    int minBytes[6];
    int minimumCounts;
    int keywordCounts;
    int toDouble;
    int toUpper;
};

constexpr int maxKeywordCounts = 50;

extern AppSettings appSettings;

// Reads appSettings from iniPath; missing values take their defaults, and more than
// maxKeywordCounts rows become maxKeywordCounts.
void loadSettings();

// Replaces the four sections of iniPath with appSettings. The other sections and lines of the
// file stay, and the new file takes the old one's place only once it is complete. A failure
// leaves the file as it was, without a message.
void saveSettings();
