#include "char_classes.h"

#include "conversions.h"

#include <array>

namespace {

struct PairRule {
    unsigned char leadLow, leadHigh, trailLow, trailHigh;
    CharClass charClass;
};

// Tested in order; the first rule that matches decides, and a pair that none matches is kanji.
constexpr PairRule pairRules[] = {
    {0x82, 0x82, 0x9F, 0xFF, CharClass::Hiragana},
    {0x83, 0x83, 0x40, 0x9E, CharClass::Katakana},
    {0x81, 0x81, 0x58, 0x58, CharClass::ContinuesRun}, // 々
    {0x81, 0x81, 0x5B, 0x5B, CharClass::ContinuesRun}, // ー
    {0x81, 0x81, 0x40, 0x40, CharClass::Separator},    // full-width space
    {0x81, 0x81, 0x00, 0xFF, CharClass::FullWidthAlphanumeric},
    {0x82, 0x82, 0x40, 0x9E, CharClass::FullWidthAlphanumeric},
    {0x83, 0x83, 0x9F, 0xFF, CharClass::FullWidthAlphanumeric},
    {0x84, 0x87, 0x00, 0xFF, CharClass::FullWidthAlphanumeric},
    {0x88, 0x88, 0x40, 0x9E, CharClass::FullWidthAlphanumeric},
};

CharClass classByRules(unsigned char lead, unsigned char trail) {
    for (const PairRule& rule : pairRules)
        if (lead >= rule.leadLow && lead <= rule.leadHigh && trail >= rule.trailLow &&
            trail <= rule.trailHigh)
            return rule.charClass;
    return CharClass::Kanji;
}

// The rules above unrolled into one lookup per lead byte and trail byte.
PairClassTable buildPairClasses() {
    PairClassTable table{};
    for (int lead = 0; lead < 256; ++lead)
        if (isLeadByte(static_cast<unsigned char>(lead)))
            for (int trail = 0; trail < 256; ++trail)
                table[lead][trail] = classByRules(static_cast<unsigned char>(lead),
                                                  static_cast<unsigned char>(trail));
    return table;
}

// Tested in this order; lead bytes never reach it.
CharClass classOfByte(unsigned char b, bool englishMode) {
    if (b < 0x20) return CharClass::Control;
    if (b >= 0xA0) return CharClass::HalfWidthKatakana;
    if (b == ' ') return CharClass::Separator;
    if (englishMode && (b == '"' || b == '\'' || b == ',')) return CharClass::Separator;
    return CharClass::HalfWidthAlphanumeric;
}

ByteClassTable buildByteClasses(bool englishMode) {
    ByteClassTable table{};
    for (int b = 0; b < 256; ++b)
        table[b] = isLeadByte(static_cast<unsigned char>(b))
                       ? CharClass::StartsPair
                       : classOfByte(static_cast<unsigned char>(b), englishMode);
    return table;
}

const ByteClassTable plainByteClasses = buildByteClasses(false);
const ByteClassTable englishByteClasses = buildByteClasses(true);

} // namespace

const ByteClassTable& byteClasses(bool englishMode) {
    return englishMode ? englishByteClasses : plainByteClasses;
}

const PairClassTable pairClasses = buildPairClasses();
