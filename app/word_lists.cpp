#include "word_lists.h"

#include "replace_file.h"

#include <cstdio>
#include <vector>

namespace {

constexpr char endOfData = 0x1A; // Ctrl-Z ends a text file

void addLine(std::string& line, WordSet& words) {
    // A NUL inside a line ends its word.
    line.resize(line.find('\0') == std::string::npos ? line.size() : line.find('\0'));
    if (!line.empty()) words.insert(line);
    line.clear();
}

} // namespace

bool loadWordList(const char* path, WordSet& words) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    std::vector<char> block(64 * 1024);
    std::string line;
    bool ended = false;
    while (!ended) {
        size_t size = std::fread(block.data(), 1, block.size(), file);
        for (size_t i = 0; i < size && !ended; ++i) {
            char c = block[i];
            if (c == endOfData)
                ended = true;
            else if (c == '\n')
                addLine(line, words);
            else if (c != '\r')
                line.push_back(c);
        }
        if (size < block.size()) break;
    }
    bool readWhole = !std::ferror(file);
    std::fclose(file);
    if (readWhole) addLine(line, words);
    return readWhole;
}

bool saveWordList(const char* path, const WordSet& words) {
    std::string temporaryPath = std::string(path) + ".tmp";
    std::FILE* file = std::fopen(temporaryPath.c_str(), "wb");
    if (!file) return false;
    bool written = true;
    for (const std::string& word : words) {
        written = written && std::fwrite(word.data(), 1, word.size(), file) == word.size() &&
                  std::fwrite("\r\n", 1, 2, file) == 2;
    }
    written = std::fflush(file) == 0 && written;
    written = std::fclose(file) == 0 && written;
    if (written && replaceFile(temporaryPath.c_str(), path)) return true;
    std::remove(temporaryPath.c_str());
    return false;
}
