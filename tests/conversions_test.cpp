#include "conversions.h"

#include <gtest/gtest.h>

namespace {

struct ConversionCase {
    const char* name;
    std::string input;
    std::string expected;
};

class FullWidthKana : public testing::TestWithParam<ConversionCase> {};

TEST_P(FullWidthKana, Converts) {
    EXPECT_EQ(toFullWidthKana(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FullWidthKana,
    testing::Values(
        ConversionCase{"Empty", "", ""},
        ConversionCase{"Plain", "\xC3\xBD\xC4", "\x83\x65\x83\x58\x83\x67"}, // ﾃｽﾄ テスト
        ConversionCase{"Voiced", "\xB6\xDE\xB2\xC4\xDE",                     // ｶﾞｲﾄﾞ
                       "\x83\x4B\x83\x43\x83\x68"},                          // ガイド
        ConversionCase{"SemiVoiced", "\xCA\xDF\xDD", "\x83\x70\x83\x93"},    // ﾊﾟﾝ パン
        ConversionCase{"Vu", "\xB3\xDE", "\x83\x94"},                        // ｳﾞ ヴ
        ConversionCase{"MarkAfterKanaWithoutVoicedForm", "\xC5\xDE",         // ﾅﾞ
                       "\x83\x69\xDE"},
        ConversionCase{"SemiVoicedMarkAfterKa", "\xB6\xDF", "\x83\x4A\xDF"}, // ｶﾟ
        ConversionCase{"LoneMarksAndPunctuationStay", "\xDE\xA1\xA5\xDF", "\xDE\xA1\xA5\xDF"},
        ConversionCase{"ProlongedSoundMark", "\xB0", "\x81\x5B"},           // ｰ ー
        ConversionCase{"FirstAndLastKana", "\xA6\xDD", "\x83\x92\x83\x93"}, // ｦﾝ ヲン
        ConversionCase{"NotKana", "\xA0\x80\xF0\xFF", "\xA0\x80\xF0\xFF"},
        ConversionCase{"MixedText", "abc\xB1", "abc\x83\x41"}, // abcｱ
        // A second byte is never read as a kana: 0x82 0xB1 is こ.
        ConversionCase{"DoubleByteUntouched", "\x82\xB1\x82\xDE", "\x82\xB1\x82\xDE"},
        ConversionCase{"TrailingLeadByte", "\xB1\x83", "\x83\x41\x83"}),
    [](const auto& info) { return std::string(info.param.name); });

class UpperCase : public testing::TestWithParam<ConversionCase> {};

TEST_P(UpperCase, Converts) {
    EXPECT_EQ(toUpperCase(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UpperCase,
    testing::Values(ConversionCase{"Empty", "", ""},
                    ConversionCase{"Ascii", "abc-xyz9`{", "ABC-XYZ9`{"},
                    ConversionCase{"FullWidthLettersStay", "\x82\x81\x82\x82", "\x82\x81\x82\x82"},
                    ConversionCase{"HalfWidthKanaThenLetter",
                                   "\xB1"
                                   "a",
                                   "\xB1"
                                   "A"},
                    ConversionCase{"SecondByteIsNotALetter", "\x83\x61", "\x83\x61"}, // ヂ
                    ConversionCase{"F0IsNotALeadByte",
                                   "\xF0"
                                   "a",
                                   "\xF0"
                                   "A"},
                    ConversionCase{"TrailingLeadByte", "a\x83", "A\x83"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
