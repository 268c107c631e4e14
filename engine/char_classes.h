#pragma once

#include <array>

enum CharClass {
    Separator = 0,
    HankakuEisuKigo = 11,
    HankakuKatakana = 12,
    ZenkakuEisuKigo = 21,
    ZenkakuHiragana = 22,
    ZenkakuKatakana = 23,
    ZenkakuKanji = 24,
    ControlChar = 99,
};

// 々 and ー have no class of their own: they continue the run they stand in.
constexpr int continuesRun = -1;

// In the single-byte table: the byte starts a double-byte character.
constexpr int startsPair = -2;

// Classes of single-byte characters, and startsPair for lead bytes; one table per setting of
// English mode, in which " ' and , separate words as a space does.
using ByteClassTable = std::array<signed char, 256>;
const ByteClassTable& byteClasses(bool englishMode);

// Class of a double-byte character, or continuesRun, by lead byte and second byte.
using PairClassTable = std::array<std::array<signed char, 256>, 256>;
extern const PairClassTable pairClasses;

inline int classOfPair(unsigned char lead, unsigned char trail) {
    return pairClasses[lead][trail];
}
