#include "word_lists.h"

#include "replace_file.h"
#include "text_encoding.h"

#include <cstdio>
#include <string_view>

namespace {

constexpr unsigned endOfData = 0x1A; // Ctrl-Z ends a text file

bool isUtf16(TextEncoding encoding) {
    return encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE;
}

bool readWholeFile(const char* path, std::string& data) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    char block[64 * 1024];
    for (size_t size; (size = std::fread(block, 1, sizeof block, file)) > 0;)
        data.append(block, size);
    bool readWhole = !std::ferror(file);
    std::fclose(file);
    return readWhole;
}

void addLine(std::string& line, WordList& list) {
    if (line.empty()) return;
    if (list.encoding == TextEncoding::ShiftJis) {
        list.words.insert(std::move(line));
    } else {
        list.words.insert(toCodePage932(list.encoding, line));
        list.fileWords.insert(std::move(line));
    }
    line.clear();
}

// Cuts the text into lines of units of `unitSize` bytes. An odd byte at the end of UTF-16 text is
// no character and is dropped: written back before other words, it would shift all their units.
template <size_t unitSize> void addLines(std::string_view text, WordList& list) {
    const bool bigEndian = list.encoding == TextEncoding::Utf16BE;
    std::string line;
    bool wordEnded = false; // by a NUL
    for (size_t at = 0; at + unitSize <= text.size(); at += unitSize) {
        auto byte = [&](size_t i) { return static_cast<unsigned char>(text[at + i]); };
        unsigned unit = byte(0);
        if constexpr (unitSize == 2) unit = bigEndian ? unit << 8 | byte(1) : byte(1) << 8 | unit;
        if (unit == endOfData) return addLine(line, list);
        if (unit == '\n') {
            addLine(line, list);
            wordEnded = false;
        } else if (unit == 0) {
            wordEnded = true;
        } else if (unit != '\r' && !wordEnded) {
            if constexpr (unitSize == 1)
                line.push_back(text[at]);
            else
                line.append(text.data() + at, unitSize);
        }
    }
    addLine(line, list);
}

std::string lineEnd(TextEncoding encoding) {
    if (encoding == TextEncoding::Utf16LE) return std::string("\r\0\n\0", 4);
    if (encoding == TextEncoding::Utf16BE) return std::string("\0\r\0\n", 4);
    return "\r\n";
}

} // namespace

bool loadWordList(const char* path, WordList& list) {
    std::string data;
    if (!readWholeFile(path, data)) return false;
    list.encoding = detectEncoding(data, true);
    list.mark = data.substr(0, byteOrderMark(data).size);
    std::string_view text = std::string_view(data).substr(list.mark.size());
    if (isUtf16(list.encoding))
        addLines<2>(text, list);
    else
        addLines<1>(text, list);
    return true;
}

void addWord(WordList& list, const std::string& word) {
    if (list.words.insert(word).second && list.encoding != TextEncoding::ShiftJis)
        list.fileWords.insert(fromCodePage932(list.encoding, word));
}

const WordSet& wordsAsInFile(const WordList& list) {
    return list.encoding == TextEncoding::ShiftJis ? list.words : list.fileWords;
}

bool saveWordList(const char* path, const WordList& list) {
    std::string temporaryPath = std::string(path) + ".tmp";
    std::FILE* file = std::fopen(temporaryPath.c_str(), "wb");
    if (!file) return false;
    const std::string end = lineEnd(list.encoding);
    bool written = std::fwrite(list.mark.data(), 1, list.mark.size(), file) == list.mark.size();
    for (const std::string& word : wordsAsInFile(list)) {
        written = written && std::fwrite(word.data(), 1, word.size(), file) == word.size() &&
                  std::fwrite(end.data(), 1, end.size(), file) == end.size();
    }
    written = std::fflush(file) == 0 && written;
    written = std::fclose(file) == 0 && written;
    if (written && replaceFile(temporaryPath.c_str(), path)) return true;
    std::remove(temporaryPath.c_str());
    return false;
}
