#pragma once

// The text of init.ini apart from the platform: the ten entries and how the four sections take
// their place in an existing file.

#include <string>

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

extern AppSettings appSettings;

struct SettingEntry {
    const char* section;
    const char* key;
    int defaultValue;
    int* field; // in appSettings
};

constexpr int settingEntryCount = 10;

// In the order of reading and of writing; the entries of one section stand together.
extern const SettingEntry settingEntries[settingEntryCount];

// The old file's text with each of the four sections replaced by its entries from appSettings, one
// "KEY = value" line each: in its old place when the file has it (a repeated section is dropped),
// otherwise appended at the end. Every line outside the four sections stays as it was.
std::string mergeSettings(const std::string& oldText);
