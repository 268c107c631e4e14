#include "word_lists.h"

#include "text_encoding.h"
#include "whole_file.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr unsigned endOfData = 0x1A; // Ctrl-Z ends a text file

bool isUtf16(TextEncoding encoding) {
    return encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE;
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

// The bytes of the UTF-8 sequence that begins with `lead`.
size_t sequenceLength(unsigned char lead) {
    return lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

// Whether code page 932 has every character of the UTF-8 text. One that it lacks becomes the geta
// mark, which is also a character of its own.
bool hasCodePage932Form(std::string_view utf8) {
    for (size_t at = 0; at < utf8.size(); at += sequenceLength(utf8[at])) {
        std::string_view character = utf8.substr(at, sequenceLength(utf8[at]));
        if (toCodePage932(TextEncoding::Utf8, character) == "\x81\xAC" && character != u8"〓")
            return false;
    }
    return true;
}

// Valid UTF-8 text in the encoding of a UTF-8 or UTF-16 list.
std::string inListEncoding(std::string_view utf8, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) return std::string(utf8);
    std::string text;
    auto putUnit = [&](char32_t unit) {
        char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        text += encoding == TextEncoding::Utf16BE ? std::string{high, low} : std::string{low, high};
    };
    for (size_t at = 0; at < utf8.size();) {
        size_t length = std::min(sequenceLength(utf8[at]), utf8.size() - at);
        char32_t character = static_cast<unsigned char>(utf8[at]);
        if (length > 1) character &= 0x7F >> length;
        for (size_t i = 1; i < length; ++i) character = character << 6 | (utf8[at + i] & 0x3F);
        at += length;
        if (character > 0xFFFF) {
            character -= 0x10000;
            putUnit(0xD800 | character >> 10);
            character = 0xDC00 | (character & 0x3FF);
        }
        putUnit(character);
    }
    return text;
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

bool addWord(WordList& list, const std::string& typed) {
    std::string word = toCodePage932(TextEncoding::Utf8, typed);
    bool whole = hasCodePage932Form(typed);
    if (list.encoding == TextEncoding::ShiftJis) {
        if (whole) list.words.insert(std::move(word));
        return whole;
    }
    if (list.words.insert(std::move(word)).second || !whole)
        list.fileWords.insert(inListEncoding(typed, list.encoding));
    return true;
}

const WordSet& wordsAsInFile(const WordList& list) {
    return list.encoding == TextEncoding::ShiftJis ? list.words : list.fileWords;
}

bool saveWordList(const char* path, const WordList& list) {
    const std::string end = lineEnd(list.encoding);
    std::string text = list.mark;
    for (const std::string& word : wordsAsInFile(list)) text += word + end;
    return saveWholeFile(path, text);
}
