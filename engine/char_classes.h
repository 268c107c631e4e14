#pragma once

#include <array>

enum class CharClass : signed char {
    StartsPair = -2,   // in the single-byte table: the byte starts a double-byte character
    ContinuesRun = -1, // 々 and ー have no class of their own: they continue the run they stand in
    Separator = 0,
    HalfWidthAlphanumeric = 11,
    HalfWidthKatakana = 12,
    FullWidthAlphanumeric = 21,
    Hiragana = 22,
    Katakana = 23,
    Kanji = 24,
    Control = 99,
};

// Classes of single-byte characters, and StartsPair for lead bytes; one table per setting of
// English mode, in which " ' and , separate words as a space does.
using ByteClassTable = std::array<CharClass, 256>;
const ByteClassTable& byteClasses(bool englishMode);

// Class of a double-byte character, or ContinuesRun, by lead byte and second byte.
using PairClassTable = std::array<std::array<CharClass, 256>, 256>;
extern const PairClassTable pairClasses;

inline CharClass classOfPair(unsigned char lead, unsigned char trail) {
    return pairClasses[lead][trail];
}
