#include "conversions.h"

namespace {

struct KanaRow {
    unsigned char halfWidth;
    char plain[3];
    char voiced[3];     // after 0xDE, empty when the kana takes no voiced mark
    char semiVoiced[3]; // after 0xDF, empty when the kana takes no semi-voiced mark
};

// Half-width katakana 0xA6-0xDD and their full-width forms (the compatibility mapping),
// with the composed forms of the 21 kana that combine with a following mark.
constexpr KanaRow kanaRows[] = {
    {0xA6, "\x83\x92", "", ""},                 // ｦ ヲ
    {0xA7, "\x83\x40", "", ""},                 // ｧ ァ
    {0xA8, "\x83\x42", "", ""},                 // ｨ ィ
    {0xA9, "\x83\x44", "", ""},                 // ｩ ゥ
    {0xAA, "\x83\x46", "", ""},                 // ｪ ェ
    {0xAB, "\x83\x48", "", ""},                 // ｫ ォ
    {0xAC, "\x83\x83", "", ""},                 // ｬ ャ
    {0xAD, "\x83\x85", "", ""},                 // ｭ ュ
    {0xAE, "\x83\x87", "", ""},                 // ｮ ョ
    {0xAF, "\x83\x62", "", ""},                 // ｯ ッ
    {0xB0, "\x81\x5B", "", ""},                 // ｰ ー
    {0xB1, "\x83\x41", "", ""},                 // ｱ ア
    {0xB2, "\x83\x43", "", ""},                 // ｲ イ
    {0xB3, "\x83\x45", "\x83\x94", ""},         // ｳ ウ ヴ
    {0xB4, "\x83\x47", "", ""},                 // ｴ エ
    {0xB5, "\x83\x49", "", ""},                 // ｵ オ
    {0xB6, "\x83\x4A", "\x83\x4B", ""},         // ｶ カ ガ
    {0xB7, "\x83\x4C", "\x83\x4D", ""},         // ｷ キ ギ
    {0xB8, "\x83\x4E", "\x83\x4F", ""},         // ｸ ク グ
    {0xB9, "\x83\x50", "\x83\x51", ""},         // ｹ ケ ゲ
    {0xBA, "\x83\x52", "\x83\x53", ""},         // ｺ コ ゴ
    {0xBB, "\x83\x54", "\x83\x55", ""},         // ｻ サ ザ
    {0xBC, "\x83\x56", "\x83\x57", ""},         // ｼ シ ジ
    {0xBD, "\x83\x58", "\x83\x59", ""},         // ｽ ス ズ
    {0xBE, "\x83\x5A", "\x83\x5B", ""},         // ｾ セ ゼ
    {0xBF, "\x83\x5C", "\x83\x5D", ""},         // ｿ ソ ゾ
    {0xC0, "\x83\x5E", "\x83\x5F", ""},         // ﾀ タ ダ
    {0xC1, "\x83\x60", "\x83\x61", ""},         // ﾁ チ ヂ
    {0xC2, "\x83\x63", "\x83\x64", ""},         // ﾂ ツ ヅ
    {0xC3, "\x83\x65", "\x83\x66", ""},         // ﾃ テ デ
    {0xC4, "\x83\x67", "\x83\x68", ""},         // ﾄ ト ド
    {0xC5, "\x83\x69", "", ""},                 // ﾅ ナ
    {0xC6, "\x83\x6A", "", ""},                 // ﾆ ニ
    {0xC7, "\x83\x6B", "", ""},                 // ﾇ ヌ
    {0xC8, "\x83\x6C", "", ""},                 // ﾈ ネ
    {0xC9, "\x83\x6D", "", ""},                 // ﾉ ノ
    {0xCA, "\x83\x6E", "\x83\x6F", "\x83\x70"}, // ﾊ ハ バ パ
    {0xCB, "\x83\x71", "\x83\x72", "\x83\x73"}, // ﾋ ヒ ビ ピ
    {0xCC, "\x83\x74", "\x83\x75", "\x83\x76"}, // ﾌ フ ブ プ
    {0xCD, "\x83\x77", "\x83\x78", "\x83\x79"}, // ﾍ ヘ ベ ペ
    {0xCE, "\x83\x7A", "\x83\x7B", "\x83\x7C"}, // ﾎ ホ ボ ポ
    {0xCF, "\x83\x7D", "", ""},                 // ﾏ マ
    {0xD0, "\x83\x7E", "", ""},                 // ﾐ ミ
    {0xD1, "\x83\x80", "", ""},                 // ﾑ ム
    {0xD2, "\x83\x81", "", ""},                 // ﾒ メ
    {0xD3, "\x83\x82", "", ""},                 // ﾓ モ
    {0xD4, "\x83\x84", "", ""},                 // ﾔ ヤ
    {0xD5, "\x83\x86", "", ""},                 // ﾕ ユ
    {0xD6, "\x83\x88", "", ""},                 // ﾖ ヨ
    {0xD7, "\x83\x89", "", ""},                 // ﾗ ラ
    {0xD8, "\x83\x8A", "", ""},                 // ﾘ リ
    {0xD9, "\x83\x8B", "", ""},                 // ﾙ ル
    {0xDA, "\x83\x8C", "", ""},                 // ﾚ レ
    {0xDB, "\x83\x8D", "", ""},                 // ﾛ ロ
    {0xDC, "\x83\x8F", "", ""},                 // ﾜ ワ
    {0xDD, "\x83\x93", "", ""},                 // ﾝ ン
};

constexpr unsigned char firstKana = 0xA6;
constexpr unsigned char lastKana = 0xDD;
constexpr unsigned char voicedMark = 0xDE;     // ﾞ
constexpr unsigned char semiVoicedMark = 0xDF; // ﾟ

const KanaRow* kanaRowFor(unsigned char b) {
    return b >= firstKana && b <= lastKana ? &kanaRows[b - firstKana] : nullptr;
}

// The full-width form of the kana at text[i], and how many input bytes it takes (1 or 2).
const char* composeKana(const KanaRow& row, std::string_view text, size_t i, size_t& taken) {
    taken = 1;
    if (i + 1 < text.size()) {
        unsigned char next = static_cast<unsigned char>(text[i + 1]);
        if (next == voicedMark && row.voiced[0] != '\0') {
            taken = 2;
            return row.voiced;
        }
        if (next == semiVoicedMark && row.semiVoiced[0] != '\0') {
            taken = 2;
            return row.semiVoiced;
        }
    }
    return row.plain;
}

// Copies the character starting at text[i] when it is double-byte; returns the bytes copied
// (0 when it is a single byte). A lead byte at the very end is copied alone.
size_t copyDoubleByte(std::string_view text, size_t i, std::string& out) {
    if (!isLeadByte(static_cast<unsigned char>(text[i]))) return 0;
    size_t length = charLengthAt(text, i);
    out.append(text.data() + i, length);
    return length;
}

} // namespace

void toFullWidthKana(std::string_view text, std::string& out) {
    out.clear();
    out.reserve(text.size() * 2);
    for (size_t i = 0; i < text.size();) {
        if (size_t copied = copyDoubleByte(text, i, out)) {
            i += copied;
            continue;
        }
        unsigned char b = static_cast<unsigned char>(text[i]);
        if (const KanaRow* row = kanaRowFor(b)) {
            size_t taken = 0;
            out.append(composeKana(*row, text, i, taken), 2);
            i += taken;
        } else {
            out.push_back(static_cast<char>(b));
            ++i;
        }
    }
}

void toUpperCase(std::string_view text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (size_t copied = copyDoubleByte(text, i, out)) {
            i += copied;
            continue;
        }
        char c = text[i++];
        out.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c);
    }
}

std::string toFullWidthKana(std::string_view text) {
    std::string out;
    toFullWidthKana(text, out);
    return out;
}

std::string toUpperCase(std::string_view text) {
    std::string out;
    toUpperCase(text, out);
    return out;
}
