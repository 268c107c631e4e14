#include "settings_file.h"

#include <cstdio>
#include <cstring>

AppSettings appSettings;

const SettingEntry settingEntries[settingEntryCount] = {
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

namespace {

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

// As the profile functions compare section names: ASCII letters match either case.
bool sameNameIgnoringCase(const std::string& name, const char* ownName) {
    if (name.size() != std::strlen(ownName)) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char a = name[i], b = ownName[i];
        if (a >= 'A' && a <= 'Z') a += 'a' - 'A';
        if (b >= 'A' && b <= 'Z') b += 'a' - 'A';
        if (a != b) return false;
    }
    return true;
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
        if (sameNameIgnoringCase(name, ownSections[i])) return i;
    return -1;
}

void endLine(std::string& text) {
    if (!text.empty() && text.back() != '\n') text += "\r\n";
}

} // namespace

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
