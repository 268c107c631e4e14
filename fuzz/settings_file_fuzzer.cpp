// mergeSettings over an arbitrary old init.ini, checked against the file read plainly: each of the
// four sections once with its entries in order, every other line kept byte for byte. The input is
// the ten settings, four bytes each in the order of settingEntries, then the old file's text.

#include "settings_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const std::string ownSections[] = {"minimumbytes", "convert", "minimumcounts", "keywordcounts"};
constexpr int otherSection = 4, notAHeader = -1;

std::string lowerCase(std::string text) {
    for (char& c : text) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return text;
}

// A header is "[" after blanks, its name running to the last "]" of the line.
int sectionOpenedBy(const std::string& line) {
    const size_t open = line.find_first_not_of(" \t"), close = line.rfind(']');
    if (open == std::string::npos || line[open] != '[' || close == std::string::npos ||
        close < open)
        return notAHeader;
    const std::string name = lowerCase(line.substr(open + 1, close - open - 1));
    return std::find(ownSections, ownSections + 4, name) - ownSections;
}

// The lines of each of the four sections after its headers, and the other lines (with their
// LF; the last may lack it) in section otherSection; and how often each header stands.
struct ReadFile {
    std::vector<std::string> lines[5];
    int headers[5] = {};
};

ReadFile readPlainly(const std::string& text) {
    ReadFile file;
    int current = otherSection;
    for (size_t start = 0, end; start < text.size(); start = end) {
        end = std::min(text.find('\n', start), text.size() - 1) + 1;
        const std::string line = text.substr(start, end - start);
        const int opened = sectionOpenedBy(line);
        if (opened != notAHeader) current = opened;
        if (opened == notAHeader || current == otherSection) file.lines[current].push_back(line);
        if (opened != notAHeader) ++file.headers[opened];
    }
    return file;
}

std::vector<std::string> expectedEntries(const std::string& section) {
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
        const bool lastUnended = i + 1 == old.size() && old[i].back() != '\n';
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
    const std::string oldText(reinterpret_cast<const char*>(data) + at, size - at);
    const std::string merged = mergeSettings(oldText);
    const ReadFile file = readPlainly(merged);
    bool holds = mergeSettings(merged) == merged &&
                 keptAsTheyWere(readPlainly(oldText).lines[otherSection], file.lines[otherSection]);
    for (int i = 0; i < otherSection; ++i)
        holds &= file.headers[i] == 1 && file.lines[i] == expectedEntries(ownSections[i]);
    if (!holds) std::abort();
    return 0;
}
