#include "settings.h"

#include "replace_file.h"
#include "startup.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

AppSettings appSettings;

namespace {

struct SettingEntry {
    const char* section;
    const char* key;
    int defaultValue;
    int* field;
};

// In the order of reading and of writing; the entries of one section stand together.
const SettingEntry settingEntries[] = {
    {"MinimumBytes", "HANKAKUEISUKIGO", 0, &appSettings.minBytes[0]},
    {"MinimumBytes", "HANKAKUKATAKANA", 0, &appSettings.minBytes[1]},
    {"MinimumBytes", "ZENKAKUEISUKIGO", 0, &appSettings.minBytes[2]},
    {"MinimumBytes", "ZENKAKUHIRAGANA", 0, &appSettings.minBytes[3]},
    {"MinimumBytes", "ZENKAKUKATAKANA", 0, &appSettings.minBytes[4]},
    {"MinimumBytes", "ZENKAKUKANJI", 0, &appSettings.minBytes[5]},
    {"Convert", "TODOUBLE", 0, &appSettings.toDouble},
    {"Convert", "TOUPPER", 0, &appSettings.toUpper},
    {"MinimumCounts", "MINIMUMCOUNTS", 0, &appSettings.minimumCounts},
    {"KeywordCounts", "KEYWORDCOUNTS", 10, &appSettings.keywordCounts},
};

const char* const ownSections[] = {"MinimumBytes", "Convert", "MinimumCounts", "KeywordCounts"};
constexpr int ownSectionCount = sizeof ownSections / sizeof ownSections[0];

// The lines "KEY = value" of one section, each ended by CR LF.
std::string sectionEntries(const char* section) {
    std::string lines;
    for (const SettingEntry& entry : settingEntries) {
        if (std::strcmp(entry.section, section) != 0) continue;
        char line[1024] = {};
        std::snprintf(line, sizeof line, "%s = %d\r\n", entry.key, *entry.field);
        lines += line;
    }
    return lines;
}

// The index in ownSections of the section that a line opens, -1 for another section, or -2 when
// the line opens no section. As the profile functions read it: leading blanks are skipped, the
// name runs from "[" to the last "]", and names match without regard to case.
int sectionOfLine(const std::string& line) {
    size_t open = line.find_first_not_of(" \t");
    size_t close = line.rfind(']');
    if (open == std::string::npos || line[open] != '[' || close == std::string::npos ||
        close < open)
        return -2;
    std::string name = line.substr(open + 1, close - open - 1);
    for (int i = 0; i < ownSectionCount; ++i)
        if (_stricmp(name.c_str(), ownSections[i]) == 0) return i;
    return -1;
}

void endLine(std::string& text) {
    if (!text.empty() && text.back() != '\n') text += "\r\n";
}

// The old file's text with each of the four sections replaced by its entries: in its old place
// when the file has it (a repeated section is dropped), otherwise appended at the end.
std::string mergeSettings(const std::string& oldText) {
    std::string text;
    bool written[ownSectionCount] = {};
    bool inOwnSection = false;
    for (size_t start = 0; start < oldText.size();) {
        size_t end = oldText.find('\n', start);
        end = end == std::string::npos ? oldText.size() : end + 1;
        std::string line = oldText.substr(start, end - start);
        start = end;
        int section = sectionOfLine(line);
        if (section != -2) inOwnSection = section >= 0;
        if (!inOwnSection) {
            text += line;
        } else if (section >= 0 && !written[section]) {
            text += line;
            endLine(text);
            text += sectionEntries(ownSections[section]);
            written[section] = true;
        }
    }
    for (int i = 0; i < ownSectionCount; ++i) {
        if (written[i]) continue;
        endLine(text);
        text += std::string("[") + ownSections[i] + "]\r\n" + sectionEntries(ownSections[i]);
    }
    return text;
}

// The whole file, or nothing when there is none. False when it exists but cannot be read, so
// that a save never replaces a file it could not see.
bool readExistingFile(const char* path, std::string& text) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES;
    char block[4096];
    size_t size;
    while ((size = std::fread(block, 1, sizeof block, file)) > 0) text.append(block, size);
    bool readWhole = !std::ferror(file);
    std::fclose(file);
    return readWhole;
}

bool writeNewFile(const char* path, const std::string& text) {
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    written = std::fflush(file) == 0 && written;
    return std::fclose(file) == 0 && written;
}

} // namespace

void loadSettings() {
    for (const SettingEntry& entry : settingEntries)
        *entry.field = static_cast<int>(
            GetPrivateProfileIntA(entry.section, entry.key, entry.defaultValue, iniPath));
    if (appSettings.keywordCounts > maxKeywordCounts) appSettings.keywordCounts = maxKeywordCounts;
}

void saveSettings() {
    std::string oldText;
    if (!readExistingFile(iniPath, oldText)) return;
    std::string temporaryPath = std::string(iniPath) + ".tmp";
    if (!writeNewFile(temporaryPath.c_str(), mergeSettings(oldText)) ||
        !replaceFile(temporaryPath.c_str(), iniPath))
        std::remove(temporaryPath.c_str());
}
