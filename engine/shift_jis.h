#pragma once

#include <string_view>

// Code page 932: a lead byte forms one double-byte character with the byte after it, whatever
// that byte is; every other byte is a character by itself. 0xF0-0xFC lead the user-defined
// characters and the IBM extension kanji (髙 FB FC, 﨑 FA B1), which Windows writes for names.
inline bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Bytes taken by the character that starts at text[i]; a lead byte at the very end stands alone.
inline size_t charLengthAt(std::string_view text, size_t i) {
    return isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

// Leftmost occurrence of needle in text that starts on a character boundary, or npos.
// Occurrences that start inside a double-byte character are not seen at all.
inline size_t findOnCharBoundary(std::string_view text, std::string_view needle) {
    size_t boundary = 0;
    for (size_t at = text.find(needle); at != std::string_view::npos;
         at = text.find(needle, at + 1)) {
        while (boundary < at) boundary += charLengthAt(text, boundary);
        if (boundary == at) return at;
    }
    return std::string_view::npos;
}
