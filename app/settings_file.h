#pragma once

// The text of init.ini apart from the platform: the ten entries and how the four sections take
// their place in an existing file.

#include <string>

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
