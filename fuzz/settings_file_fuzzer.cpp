// mergeSettings over an arbitrary old init.ini, checked against the file read plainly: each of the
// four sections once with its entries in order, every other line kept byte for byte. Layout of the
// input:
//   10 × 4 bytes  the ten settings (little-endian, signed), in the order of settingEntries
//   the rest      the old file's text

#include "settings.h"
#include "settings_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const ownSectionNames[] = {"minimumbytes", "convert", "minimumcounts", "keywordcounts"};
constexpr int ownCount = 4;
constexpr int notASection = -2;
constexpr int otherSection = -1;

// A property that must hold; a broken one ends the run like a crash.
void require(bool holds) {
    if (!holds) std::abort();
}

// Each line with its LF; the last one may lack it.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = std::min(text.find('\n', start), text.size() - 1) + 1;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    return lines;
}

std::string lowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// A header is "[" after blanks, its name running to the last "]" of the line.
int sectionOpenedBy(const std::string& line) {
    size_t open = line.find_first_not_of(" \t");
    size_t close = line.rfind(']');
    if (open == std::string::npos || line[open] != '[' || close == std::string::npos ||
        close < open)
        return notASection;
    std::string name = lowerCase(line.substr(open + 1, close - open - 1));
    for (int i = 0; i < ownCount; ++i)
        if (name == ownSectionNames[i]) return i;
    return otherSection;
}

struct ReadFile {
    std::vector<std::string> otherLines; // outside the four sections, in order
    int headers[ownCount] = {};
    std::vector<std::string> entries[ownCount]; // the lines after each section's headers
};

ReadFile readPlainly(const std::string& text) {
    ReadFile file;
    int current = otherSection;
    for (const std::string& line : linesOf(text)) {
        int opened = sectionOpenedBy(line);
        if (opened != notASection) current = opened;
        if (current < 0)
            file.otherLines.push_back(line);
        else if (opened >= 0)
            ++file.headers[opened];
        else
            file.entries[current].push_back(line);
    }
    return file;
}

std::vector<std::string> expectedEntries(const char* section) {
    std::vector<std::string> lines;
    for (const SettingEntry& entry : settingEntries)
        if (lowerCase(entry.section) == section)
            lines.push_back(std::string(entry.key) + " = " + std::to_string(*entry.field) + "\r\n");
    return lines;
}

// Kept byte for byte; only an unended last line may gain its CR LF when sections follow it.
bool keptAsTheyWere(const std::vector<std::string>& old, const std::vector<std::string>& merged) {
    if (old.size() != merged.size()) return false;
    for (size_t i = 0; i < old.size(); ++i) {
        bool lastUnended = i + 1 == old.size() && old[i].back() != '\n';
        if (merged[i] != old[i] && !(lastUnended && merged[i] == old[i] + "\r\n")) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    size_t at = 0;
    for (const SettingEntry& entry : settingEntries) {
        std::uint32_t value = 0;
        std::memcpy(&value, data + at, std::min<size_t>(4, size - at));
        *entry.field = static_cast<int>(value);
        at = std::min(at + 4, size);
    }
    std::string oldText(reinterpret_cast<const char*>(data) + at, size - at);

    std::string merged = mergeSettings(oldText);
    ReadFile file = readPlainly(merged);
    for (int i = 0; i < ownCount; ++i) {
        require(file.headers[i] == 1);
        require(file.entries[i] == expectedEntries(ownSectionNames[i]));
    }
    require(keptAsTheyWere(readPlainly(oldText).otherLines, file.otherLines));
    require(mergeSettings(merged) == merged);
    return 0;
}
