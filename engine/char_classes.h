#pragma once

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

// Class of a single-byte character; in English mode " ' and , separate words as a space does.
CharClass classOfByte(unsigned char b, bool englishMode);

// Class of a double-byte character, or continuesRun.
int classOfPair(unsigned char lead, unsigned char trail);
