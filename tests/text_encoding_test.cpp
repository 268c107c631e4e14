// The encoding rule, and the conversion to code page 932 against what Python's decoders give with
// errors="replace" and what WideCharToMultiByte gives for code page 932.

#include "keyword_engine.h"
#include "test_files.h"
#include "text_encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;
using E = TextEncoding;

std::string times(const std::string& text, int count) {
    std::string repeated;
    for (int i = 0; i < count; ++i) repeated += text;
    return repeated;
}

const std::string a = "\xE3\x81\x82"; // あ in UTF-8

struct DetectionCase {
    std::string start;
    bool endsText;
    TextEncoding expected;
};

const DetectionCase detectionCases[] = {
    {"", true, E::ShiftJis},
    {"ASCII only\r\n", true, E::ShiftJis},
    {"\xEF\xBB\xBF"s + "a", true, E::Utf8},
    {"\xFF\xFE"s + "a\0"s, true, E::Utf16LE},
    {"\xFE\xFF\x30\x42", true, E::Utf16BE},
    {"a\xFF\xFE", true, E::ShiftJis}, // a mark counts only at the start
    {"text " + a, true, E::Utf8},
    {"text \x82\xA0", true, E::ShiftJis},                  // あ in Shift-JIS
    {"\xB1\xB2\xB3", true, E::ShiftJis},                   // ｱｲｳ
    {"\xED\xA0\x80", true, E::ShiftJis},                   // a surrogate
    {"\xC0\xAF", true, E::ShiftJis},                       // an overlong form
    {"ab\xE3\x81", true, E::ShiftJis},                     // cut by the end of the text
    {times(a, 1366), true, E::Utf8},                       // the window cuts the last あ
    {times(a, 1366) + "\xFF", true, E::Utf8},              // past the window
    {times(a, 1365) + "\xFF", true, E::ShiftJis},          // the window's last byte
    {times(a, 1365) + "\xE3", true, E::ShiftJis},          // the text ends with the window
    {"\xE0\xA0\x80", true, E::Utf8},                       // U+0800, the lowest of three bytes
    {"\x7F" + times(a, 1365) + "\xFF", true, E::ShiftJis}, // the window opens after DEL
};

TEST(TextEncoding, DetectionRule) {
    for (const DetectionCase& c : detectionCases)
        EXPECT_EQ(detectEncoding(c.start, c.endsText), c.expected)
            << "case " << &c - detectionCases;
}

struct ConversionCase {
    TextEncoding encoding;
    std::string text;
    std::string expected;
};

const std::string geta = "\x81\xAC"; // 〓

const ConversionCase conversionCases[] = {
    {E::Utf8, "a\r\n\0b"s + a + "\xEF\xBD\xB1", "a\r\n\0b\x82\xA0\xB1"s}, // ｱ last
    // 〜 ‖ − ¢ £ ¬ — in their JIS forms
    {E::Utf8, "\xE3\x80\x9C\xE2\x80\x96\xE2\x88\x92\xC2\xA2\xC2\xA3\xC2\xAC\xE2\x80\x94",
     "\x81\x60\x81\x61\x81\x7C\x81\x91\x81\x92\x81\xCA\x81\x5C"},
    // ⅰ 纊 as IBM extensions, ∵ Ⅰ ￢ as JIS and NEC codes, as Windows chooses among duplicates
    {E::Utf8, "\xE2\x85\xB0\xE7\xBA\x8A\xE2\x88\xB5\xE2\x85\xA0\xEF\xBF\xA2",
     "\xFA\x40\xFA\x5C\x81\xE6\x87\x54\x81\xCA"},
    {E::Utf8, "\xC3\xA9\xF0\x9F\x98\x80", geta + geta}, // é and an emoji have no form
    {E::Utf8, "\xE3\x81\x41\xE3\x81" + a, geta + "A" + geta + "\x82\xA0"},
    {E::Utf8, "\xED\xA0\x80\xC0\xAF\xFF\xC2\xC0\xED\x81\x81", times(geta, 9)}, // U+D041 last
    {E::Utf8, "\xE3\x41\x81", geta + "A" + geta},
    {E::Utf8, "\xF4\x90\x80\x80\xE0\x80\xE0\xA0\x80\xF5\x80", times(geta, 9)},
    {E::Utf8, "a\xF0\x9F\x98", "a" + geta},
    {E::Utf16LE, "A\0\x42\x30\x0D\0\x0A\0"s, "A\x82\xA0\r\n"},
    {E::Utf16BE, "\x30\x42\0A"s, "\x82\xA0\x41"},
    {E::Utf16LE, "\x3D\xD8\x00\xDE\x00\xDC\x41\0"s, geta + geta + "A"},
    {E::Utf16LE, "\x00\xD8\x00\xD8\x00\xDC\x41\0"s, geta + geta + "A"},
    {E::Utf16BE, "\xD8\x00\x00"s, geta},
    {E::Utf16BE, "\x30\x42\x30"s, "\x82\xA0" + geta},
};

// Converts the text in two calls, the first one ending at `split`.
std::string convertInTwo(const ConversionCase& c, size_t split) {
    std::string out(2 * c.text.size(), '\0');
    std::string_view text = c.text;
    size_t first = 0;
    size_t second = 0;
    size_t used = toCodePage932(c.encoding, text.substr(0, split), false, out.data(), first);
    EXPECT_LT(split - used, maxCharacterBytes);
    used += toCodePage932(c.encoding, text.substr(used), true, out.data() + first, second);
    EXPECT_EQ(used, text.size());
    return out.substr(0, first + second);
}

TEST(TextEncoding, ConvertsToCodePage932AcrossEverySplit) {
    for (const ConversionCase& c : conversionCases)
        for (size_t split = 0; split <= c.text.size(); ++split)
            EXPECT_EQ(convertInTwo(c, split), c.expected)
                << "case " << &c - conversionCases << ", split at " << split;
}

TEST(TextEncoding, DecodesCodePage932AsPythonDoes) {
    const std::string replacement = "\xEF\xBF\xBD";
    const std::pair<std::string, std::string> cases[] = {
        {"a\r\n\0\x82\xA0\xB1"s, "a\r\n\0"s + a + "\xEF\xBD\xB1"},
        {"\x5C\x7E\x80\xA0\xFD", "\x5C\x7E\xC2\x80\xEF\xA3\xB0\xEF\xA3\xB1"},
        {"\xFA\x40\xF0\x40\x81\x60", "\xE2\x85\xB0\xEE\x80\x80\xEF\xBD\x9E"}, // ⅰ, private use, ～
        {"\x81\x20\x85\x40\x81\xAD\x81",
         replacement + " " + replacement + "@" + replacement + "\xEF\xBD\xAD" + replacement},
    };
    for (const auto& [codePage932, utf8] : cases) {
        EXPECT_EQ(fromCodePage932(E::Utf8, codePage932), utf8);
        EXPECT_EQ(toCodePage932(E::Utf16BE, fromCodePage932(E::Utf16BE, codePage932)),
                  toCodePage932(E::Utf8, utf8));
    }
    EXPECT_EQ(fromCodePage932(E::Utf16LE, "A\x82\xA0"), "A\0\x42\x30"s);
    for (unsigned code = 0x8140; code <= 0xFCFC; ++code) {
        const std::string bytes{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
        const std::string decoded = fromCodePage932(E::Utf8, bytes);
        if (decoded.find(replacement) != std::string::npos) continue;
        const std::string again = toCodePage932(E::Utf8, decoded);
        EXPECT_EQ(fromCodePage932(E::Utf8, again), decoded) << std::hex << code;
        const bool duplicated = (code >= 0x8700 && code < 0x8800) || code >= 0xED00; // NEC, IBM
        EXPECT_TRUE(duplicated || again == bytes) << std::hex << code;
    }
    EXPECT_TRUE(isValidUtf8("abc" + a));
    EXPECT_FALSE(isValidUtf8("abc\xE3\x81"));
    EXPECT_FALSE(isValidUtf8("\x82\xA0"));
}

// The outputs of a keyword run and a search run for 先生.
std::string outcomeOf(const std::string& target, TextEncoding encoding,
                      const TemporaryFolder& folder) {
    KeywordRunOptions keywords;
    keywords.rows = maxKeywordRows;
    keywords.encoding = encoding;
    std::vector<RankingRow> rows;
    std::string outcome = std::to_string(
        static_cast<int>(run(target.c_str(), folder.file("keyword.log").c_str(), keywords, rows)));
    for (const RankingRow& row : rows) outcome += std::to_string(row.count) + row.word + "\n";
    SearchRunOptions search{"\x90\xe6\x90\xb6", false, false, encoding};
    outcome += std::to_string(
        static_cast<int>(run(target.c_str(), folder.file("result.txt").c_str(), search)));
    return outcome + readBytes(folder.file("keyword.log")) + readBytes(folder.file("result.txt"));
}

// ASCII beyond the first block the reader fills, then text beyond its next blocks, so that
// characters fall across every boundary of its buffers.
TEST(TextEncoding, EveryEncodingGivesTheOutputsOfShiftJis) {
    const std::string utf8 = times("ASCII text. It reads the same!\r\n", 9000) +
                             times(u8"今日は晴れ。東京の先生！ｶﾀｶﾅと〜 − ¢。\n", 12000);
    const std::string shiftJis = toCodePage932(E::Utf8, utf8);
    TemporaryFolder folder;
    const std::string target = folder.file("target.txt");
    writeBytes(target, shiftJis);
    const std::string expected = outcomeOf(target, E::ShiftJis, folder);
    const std::pair<TextEncoding, std::string> forms[] = {
        {E::Auto, shiftJis},
        {E::Auto, utf8},
        {E::Auto, "\xEF\xBB\xBF" + utf8},
        {E::Auto, "\xFF\xFE" + fromCodePage932(E::Utf16LE, shiftJis)},
        {E::Auto, "\xFE\xFF" + fromCodePage932(E::Utf16BE, shiftJis)},
        {E::Utf8, utf8},
        {E::Utf16LE, fromCodePage932(E::Utf16LE, shiftJis)},
    };
    for (const auto& [encoding, bytes] : forms) {
        writeBytes(target, bytes);
        EXPECT_EQ(outcomeOf(target, encoding, folder), expected)
            << "form " << &bytes - &forms[0].second;
    }
}

} // namespace
