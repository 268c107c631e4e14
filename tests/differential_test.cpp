// The engine against the plain reference implementation in reference_engine.cpp, on thousands of
// generated inputs with fixed seeds. Both must agree byte for byte on keyword.log and result.txt,
// on the result code, the line count and topWords/topCounts.

#include "conversions.h"
#include "keyword_engine.h"
#include "reference_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

constexpr std::size_t blockSize = 8192;

// mt19937's output is fixed by the standard, the library's distributions are not: the generated
// cases are the same with every compiler.
class Random {
  public:
    explicit Random(std::uint32_t seed) : engine(seed) {}
    int below(std::size_t n) { return static_cast<int>(engine() % n); }
    int between(int low, int high) { return low + below(static_cast<std::size_t>(high - low + 1)); }
    bool chance(int percent) { return below(100) < percent; }
    template <class T> const T& pick(const std::vector<T>& items) {
        return items[below(items.size())];
    }

  private:
    std::mt19937 engine;
};

bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEF);
}

// ---------------------------------------------------------------------------------------------
// Building blocks of the generated text

const std::vector<std::string> asciiWords = {
    "abc",  "ABC",  "aBc", "This", "is",    "a",          "pen",     "don't", "ABC123",
    "x",    "AA",   "AAA", "AB",   "BC",    "ABXAB",      "3",       "#",     "-",
    "\x7f", "\x80", "A",   "B",    "\"q\"", "\"quoted\"", "one,two",
};

const std::vector<std::string> fullWidthWords = {
    "\x93\x8c\x8b\x9e",                 // 東京
    "\x93\x8c\x8b\x9e\x93\x73",         // 東京都
    "\x93\x8c\x8b\x9e\x93\x73\x92\xa1", // 東京都庁
    "\x93\xfa\x96\x7b",                 // 日本
    "\x8d\xa1\x93\xfa",                 // 今日
    "\x82\xcd",                         // は
    "\x90\xb0\x82\xea",                 // 晴れ
    "\x8e\x9e\x81\x58",                 // 時々
    "\x81\x58",                         // 々
    "\x81\x5b",                         // ー
    "\x83\x52\x81\x5b\x83\x71\x81\x5b", // コーヒー
    "\x82\xb7\x82\xb2\x81\x5b\x82\xa2", // すごーい
    "\x83\x4a\x83\x5e\x83\x4a\x83\x69", // カタカナ
    "\x83\x4b\x83\x43\x83\x68",         // ガイド
    "\x82\xd0\x82\xe7\x82\xaa\x82\xc8", // ひらがな
    "\x82\x60\x82\x61\x82\x62",         // ＡＢＣ
    "\x82\x81\x82\x82\x82\x83",         // ａｂｃ
    "\x83\xbf",                         // α
    "\x83\x61",                         // ヂ
    "\x83\x81",                         // メ
    "\x81\x41",                         // 、
    "\x81\x75",                         // 「
    "\x81\x76",                         // 」
    "\x84\x9f",                         // ─
    "\x88\x9f",                         // 亜
    "\x87\x40",                         // ①
    "\xed\x40",                         // 纊
    "\x82\x9f",                         // ぁ
    "\x83\x96",                         // ヶ
};

const std::vector<std::string> halfWidthWords = {
    "\xb6\xde\xb2\xc4\xde", // ｶﾞｲﾄﾞ
    "\xc3\xbd\xc4",         // ﾃｽﾄ
    "\xca\xdf\xdd",         // ﾊﾟﾝ
    "\xb3\xde",             // ｳﾞ
    "\xc5\xde",             // ﾅﾞ: no voiced form
    "\xdc\xde",             // ﾜﾞ: no voiced form
    "\xb6\xc0\xb6\xc5",     // ｶﾀｶﾅ
    "\xb0",                 // ｰ
    "\xa1",                 // ｡
    "\xa5",                 // ･
    "\xde",                 // ﾞ alone
    "\xdf",                 // ﾟ alone
    "\xa0\xf0\xfd\xff",     // bytes of the half-width katakana class that are no kana
};

std::vector<std::string> joined(const std::vector<std::vector<std::string>>& lists) {
    std::vector<std::string> all;
    for (const auto& list : lists) all.insert(all.end(), list.begin(), list.end());
    return all;
}

const std::vector<std::string> words = joined({asciiWords, fullWidthWords, halfWidthWords});

const std::vector<std::string> separators = {" ", "  ", "\x81\x40" /* 　 */, ",", "\"", "'"};

const std::vector<std::string> sentenceEnds = {
    ".",        "!", "?",
    "\x81\x42", // 。
    "\x81\x49", // ！
    "\x81\x48", // ？
};

const std::vector<std::string> lineBreaks = {"\r", "\n", "\r\n", "\n\r", "\r\n\r\n", "\r\r\n"};

const std::vector<std::string> tags = {"<b>", "</b>", "<", ">", "<p class=\"x\">", "<\x93\x8c>"};

const std::vector<std::string> controls = {"\t", "\x1a", "\x01", "\x1f", "\0"s, "\0\0\0"s};

const std::vector<unsigned char> leadBytes = {0x81, 0x82, 0x83, 0x88, 0x9f, 0xe0, 0xef};

// What follows a lone lead byte: bytes that end a line or a sentence, or a byte that would
// complete 。 if the lead byte were taken for 0x81 at a character start.
const std::vector<std::string> afterLoneLead = {
    "\r", "\n", "\r\n", ".", "!", "?", "\x42", "\x81\x42", "\0\x42"s, "\0"s, "",
};

std::string doubleByteCharacter(Random& random) {
    std::string character(1, static_cast<char>(random.pick(leadBytes)));
    character += static_cast<char>(random.chance(80) ? random.between(0x40, 0xfc)
                                                     : random.between(0x01, 0xff));
    return character;
}

std::string loneLeadByte(Random& random) {
    return std::string(1, static_cast<char>(random.pick(leadBytes))) + random.pick(afterLoneLead);
}

std::string anyPiece(Random& random) {
    const int roll = random.below(100);
    if (roll < 38) return random.pick(words);
    if (roll < 50) return random.pick(separators);
    if (roll < 58) return random.pick(sentenceEnds);
    if (roll < 66) return random.pick(lineBreaks);
    if (roll < 71) return random.pick(tags);
    if (roll < 75) return random.pick(controls);
    if (roll < 80) return loneLeadByte(random);
    if (roll < 92) return doubleByteCharacter(random);
    return std::string(1, static_cast<char>(random.between(0x01, 0xff)));
}

// True when the scan would end a line or a sentence inside piece, or piece ends inside a
// character: such pieces may not stand in a sentence that has to reach a given length.
bool breaksALongSentence(const std::string& piece) {
    if (piece.find_first_of("\r\n.!?") != std::string::npos) return true;
    for (std::size_t i = 0; i < piece.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(piece[i]);
        if (!isLeadByte(b)) continue;
        if (i + 1 == piece.size()) return true;
        const unsigned char trail = static_cast<unsigned char>(piece[++i]);
        if (trail == 0 || (b == 0x81 && (trail == 0x42 || trail == 0x49 || trail == 0x48)))
            return true;
    }
    return false;
}

std::string mixedText(Random& random, std::size_t length) {
    std::string text;
    while (text.size() < length) text += anyPiece(random);
    return text;
}

std::size_t nonZeroBytes(const std::string& text) {
    std::size_t count = 0;
    for (char c : text) count += c != '\0';
    return count;
}

// Runs of one character make words of 1000 bytes and more; converted, they grow longer still.
const std::vector<std::string> repeatedCharacters = {
    "a",        "A",
    "\xb6",     // ｶ
    "\xb6\xde", // ｶﾞ
    "\x82\xa0", // あ
    "\x81\x5b", // ー
    "\x93\x8c", // 東
};

// A sentence whose length lands near the 1024-byte limit, without what ends it.
std::string longSentenceBody(Random& random) {
    const std::size_t length =
        random.chance(70) ? random.between(1020, 1026) : random.between(1000, 1040);
    std::string sentence;
    if (random.chance(25)) {
        const std::string& character = random.pick(repeatedCharacters);
        while (sentence.size() < length) sentence += character;
        return sentence;
    }
    while (nonZeroBytes(sentence) + 8 < length) {
        const std::string piece = anyPiece(random);
        if (!breaksALongSentence(piece)) sentence += piece;
    }
    while (nonZeroBytes(sentence) < length) sentence += random.chance(50) ? "x" : "\x82\xa0"; // あ
    return sentence;
}

const std::vector<std::string> longSentenceEndings = {
    "\r\n",         "\n", "\r", ".", "?", "", "y", "\0\r"s,
    "\x81\x42",     // 。
    "\x81\x49",     // ！
    "\x82\xa0",     // あ
    "\x81\r\n",     // a lead byte alone before the line break
    "\x83\x81\x42", // メ B
};

std::string longSentence(Random& random) {
    return longSentenceBody(random) + random.pick(longSentenceEndings);
}

// A long sentence that ends at the first block boundary, so that its last byte, its terminator
// or the byte that overflows it are read with the next block.
std::string longSentenceAtBlockEnd(Random& random) {
    const std::string body = longSentenceBody(random);
    const std::size_t prefixLength = blockSize + random.between(-2, 1) - body.size();
    std::string text = mixedText(random, prefixLength);
    text.resize(prefixLength - 2);
    text += "\r\n";
    return text + body + random.pick(longSentenceEndings) + mixedText(random, random.below(100));
}

// Byte sequences laid across a block boundary: the boundary falls before sequence[split].
struct Straddle {
    std::string sequence;
    std::size_t split;
};

const std::vector<Straddle> straddles = {
    {"\x81\x42", 1},         // 。
    {"\x81\x49", 1},         // ！
    {"\x81\x48", 1},         // ？
    {"\x83\x81\x42", 1},     // メ B: the 0x81 is a second byte
    {"\x83\x81\x42", 2},     // メ B
    {"\x81\x81\x42", 1},     // a 0x81 that starts a character, then 。
    {"\x81\x81\x42", 2},     // a 0x81 that starts a character, then 。
    {"\x81\x81\x81\x42", 2}, // a 0x81 character, then 0x81 B
    {"\x81\0\x42"s, 1},      // 。 with a zero byte inside
    {"\x81\0\x42"s, 2},      // 。 with a zero byte inside
    {"\x81\0\0\0\x42"s, 3},  // 。 with zero bytes inside
    {"\x93\x8c\x8b\x9e", 1}, // 東京
    {"\x93\x8c\x8b\x9e", 3}, // 東京
    {"\xb6\xde", 1},         // ｶﾞ
    {"\x82\r\n", 1},         // a lead byte before CR
    {"\x82.", 1},            // a lead byte before '.'
    {"\r\n", 1},
    {"\r\0\n"s, 1},
    {"\r\0\n"s, 2},
    {"\n\r", 1},
    {"<b>", 1},
    {"\0\0\0\0\0\0\0\0"s, 4},
};

// A file a little over one, two or three blocks, with a straddling sequence at every block
// boundary.
std::string blockText(Random& random) {
    const std::size_t blocks = random.between(1, 3);
    const std::size_t length =
        static_cast<std::size_t>(static_cast<int>(blocks * blockSize) + random.between(-3, 60));
    std::string text = mixedText(random, length);
    text.resize(length);
    for (std::size_t boundary = blockSize; boundary <= blocks * blockSize; boundary += blockSize) {
        const Straddle& straddle = random.pick(straddles);
        const std::size_t at = boundary - straddle.split;
        if (at + straddle.sequence.size() <= text.size())
            text.replace(at, straddle.sequence.size(), straddle.sequence);
    }
    return text;
}

std::string textNearTheSentenceLimit(Random& random) {
    if (random.chance(25)) return longSentenceAtBlockEnd(random);
    std::string text = mixedText(random, random.below(300)) + random.pick(lineBreaks);
    text += longSentence(random);
    if (random.chance(20)) text += longSentence(random);
    return text + mixedText(random, random.below(200));
}

// Many distinct words, so that the tally grows through many sizes and long runs of equal counts
// are ranked.
std::string manyWordsText(Random& random) {
    const std::vector<std::string> letters = {
        "a",        "b", "X", "1",
        "\xb1",     // ｱ
        "\xb6",     // ｶ
        "\x82\xa0", // あ
        "\x82\xa2", // い
        "\x83\x41", // ア
        "\x93\x8c", // 東
        "\x8b\x9e", // 京
        "\x81\x58", // 々
        "\x81\x5b", // ー
    };
    const std::size_t length = random.between(10000, 40000);
    std::string text;
    while (text.size() < length) {
        for (int n = random.between(1, 6); n > 0; --n) text += random.pick(letters);
        text += random.chance(90) ? " " : random.pick(lineBreaks);
    }
    return text;
}

// Short texts over few characters, so that user words occur often and overlap.
const std::vector<std::string> denseLetters = {
    "A",        "B", "X", "a", "b", "ABA",
    "\x93\x8c", // 東
    "\x8b\x9e", // 京
    "\x93\x73", // 都
    "\x83\x61", // ヂ
    "\x83\x81", // メ
    "\x83\x4a", // カ
    "\xb6",     // ｶ
    "\xde",     // ﾞ
    "\xb0",     // ｰ
    "\x81\x5b", // ー
    "\x81\x58", // 々
};

std::string denseText(Random& random) {
    const std::size_t length = random.below(400);
    std::string text;
    while (text.size() < length) {
        const int roll = random.below(100);
        if (roll < 75)
            text += random.pick(denseLetters);
        else if (roll < 85)
            text += random.pick(separators);
        else if (roll < 92)
            text += random.pick(lineBreaks);
        else if (roll < 96)
            text += random.pick(sentenceEnds);
        else
            text += loneLeadByte(random);
    }
    return text;
}

// ---------------------------------------------------------------------------------------------
// Settings, word lists and keywords

struct KeywordSettings {
    int minBytes[6];
    int minimumCounts;
    int keywordCounts;
    int toDouble;
    int toUpper;
    int englishMode;
};

struct KeywordCase {
    std::string text;
    KeywordSettings settings;
    std::set<std::string> userWords; // as the window holds them: unique, in ascending byte order
    std::set<std::string> excludedWords;
};

struct SearchCase {
    std::string text;
    std::string keyword;
    int toDouble;
    int toUpper;
};

int aSwitch(Random& random) {
    return random.pick(std::vector<int>{0, 1, 1, 1, 2, -1});
}

KeywordSettings randomSettings(Random& random) {
    KeywordSettings settings{};
    for (int& minimum : settings.minBytes)
        minimum = random.pick(std::vector<int>{0, 0, 1, 2, 2, 3, 4, 4, 6, 8, -1, -2147483647 - 1});
    settings.minimumCounts = random.pick(std::vector<int>{0, 1, 1, 2, 3, 5, -1});
    settings.keywordCounts = random.chance(85) ? random.between(0, 50) : random.between(-3, -1);
    settings.toDouble = aSwitch(random);
    settings.toUpper = aSwitch(random);
    settings.englishMode = aSwitch(random);
    return settings;
}

// A word list is read in text mode (a line ends at LF, CR is dropped, 0x1A ends the data) and
// a word is handed over NUL-terminated, so none of these bytes can be part of a listed word.
bool cannotBeListed(const std::string& word) {
    return word.find_first_of("\r\n\x1a"s + '\0') != std::string::npos;
}

std::string pieceOf(Random& random, const std::string& text) {
    if (text.empty()) return "";
    const std::size_t start = random.below(text.size());
    return text.substr(start, random.between(1, 8));
}

// A user word as a user would register it from the keyword rows or type it into the list.
std::string randomUserWord(Random& random, const std::string& text,
                           const std::set<std::string>& sofar) {
    const int roll = random.below(100);
    if (roll < 40) return pieceOf(random, text);
    if (roll < 55) return random.pick(words);
    if (roll < 62)
        return random.pick(std::vector<std::string>{" ", "  ", "A ", " A", "A B", " \xb6"});
    if (roll < 70) return pieceOf(random, text) + static_cast<char>(random.pick(leadBytes));
    if (roll < 78) return reference::toFullWidthKana(pieceOf(random, text));
    if (roll < 84) return reference::toUpperCase(pieceOf(random, text));
    if (sofar.empty()) return random.pick(denseLetters);
    std::string sameLength = *std::next(sofar.begin(), random.below(sofar.size()));
    sameLength[random.below(sameLength.size())] = random.pick(std::vector<char>{'A', 'B', ' '});
    return sameLength;
}

std::set<std::string> randomUserWords(Random& random, const std::string& text, int most) {
    std::set<std::string> userWords;
    for (int n = random.between(0, most); n > 0; --n) {
        const std::string word = randomUserWord(random, text, userWords);
        if (!word.empty() && !cannotBeListed(word)) userWords.insert(word);
    }
    return userWords;
}

std::set<std::string> randomExcludedWords(Random& random, const std::string& text,
                                          const std::set<std::string>& userWords) {
    std::set<std::string> excluded;
    for (const std::string& word : userWords) {
        if (random.chance(25)) excluded.insert(word);
    }
    for (int n = random.between(0, 3); n > 0; --n) {
        const std::string word = random.chance(50) ? pieceOf(random, text) : random.pick(words);
        if (!word.empty() && !cannotBeListed(word)) excluded.insert(word);
    }
    return excluded;
}

KeywordCase keywordCase(Random& random, std::string text, int mostUserWords) {
    KeywordCase c{std::move(text), randomSettings(random), {}, {}};
    c.userWords = randomUserWords(random, c.text, mostUserWords);
    c.excludedWords = randomExcludedWords(random, c.text, c.userWords);
    return c;
}

std::string lowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 0x20);
    }
    return text;
}

// Keywords as the keyword rows hand them over: words of the text (converted or not), pieces that
// may start at a second byte, and the empty keyword. The keyword box cannot hold a zero byte.
std::string randomKeyword(Random& random, const std::string& text) {
    std::string keyword;
    const int roll = random.below(100);
    if (roll < 10)
        keyword = "";
    else if (roll < 50)
        keyword = pieceOf(random, text);
    else if (roll < 60)
        keyword = reference::toFullWidthKana(pieceOf(random, text));
    else if (roll < 68)
        keyword = reference::toUpperCase(pieceOf(random, text));
    else if (roll < 74)
        keyword = lowerCase(pieceOf(random, text));
    else if (roll < 92)
        keyword = random.pick(words);
    else
        keyword = doubleByteCharacter(random).substr(random.below(2));
    keyword.erase(std::remove(keyword.begin(), keyword.end(), '\0'), keyword.end());
    return keyword;
}

SearchCase searchCase(Random& random, std::string text) {
    SearchCase c{std::move(text), "", aSwitch(random), aSwitch(random)};
    c.keyword = randomKeyword(random, c.text);
    return c;
}

// ---------------------------------------------------------------------------------------------
// Running both implementations

struct Outcome {
    int code = -1;
    std::int64_t lines = -1;
    std::string topWords[KeywordEngine::maxTopWords];
    std::int64_t topCounts[KeywordEngine::maxTopWords] = {};
    std::string output;
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

template <class Engine>
Outcome keywordRun(const KeywordCase& c, const std::string& targetPath,
                   const std::string& outputPath) {
    const KeywordSettings& s = c.settings;
    Outcome outcome;
    Engine engine(outputPath.c_str(), s.minBytes[0], s.minBytes[1], s.minBytes[2], s.minBytes[3],
                  s.minBytes[4], s.minBytes[5], s.minimumCounts, s.keywordCounts, s.toDouble,
                  s.toUpper, s.englishMode);
    for (const std::string& word : c.userWords)
        engine.addUserWord(static_cast<int>(word.size()), word.c_str());
    for (const std::string& word : c.excludedWords) engine.addExcludedWord(word.c_str());
    outcome.code = engine.run(targetPath.c_str());
    outcome.lines = engine.lines();
    for (int i = 0; i < KeywordEngine::maxTopWords; ++i) {
        outcome.topWords[i] = engine.topWords[i];
        // A count beside an empty row is never read, so it is not compared.
        outcome.topCounts[i] = engine.topWords[i].empty() ? 0 : engine.topCounts[i];
    }
    return outcome;
}

template <class Engine>
Outcome searchRun(const SearchCase& c, const std::string& targetPath,
                  const std::string& outputPath) {
    Outcome outcome;
    Engine engine(outputPath.c_str(), c.keyword.c_str(), c.toDouble, c.toUpper);
    engine.writeSearchHeader();
    outcome.code = engine.run(targetPath.c_str());
    outcome.lines = engine.lines();
    engine.writeSearchFooter();
    return outcome;
}

std::string visible(const std::string& bytes) {
    std::ostringstream out;
    for (char c : bytes) {
        const unsigned char b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7f && b != '\\') {
            out << c;
        } else {
            static const char hex[] = "0123456789abcdef";
            out << "\\x" << hex[b >> 4] << hex[b & 15];
        }
    }
    return out.str();
}

std::string visible(const std::set<std::string>& wordSet) {
    std::string list;
    for (const std::string& word : wordSet) list += " \"" + visible(word) + "\"";
    return list;
}

std::string firstDifference(const std::string& expected, const std::string& actual) {
    std::size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
    const std::size_t from = at < 80 ? 0 : at - 80;
    return "first difference at byte " + std::to_string(at) + "\n  reference: \"" +
           visible(expected.substr(from, 200)) + "\"\n  engine:    \"" +
           visible(actual.substr(from, 200)) + "\"\n";
}

// Empty when both agree; otherwise what differs.
std::string differences(const Outcome& reference, const Outcome& engine) {
    std::string found;
    if (reference.code != engine.code)
        found += "code: reference " + std::to_string(reference.code) + ", engine " +
                 std::to_string(engine.code) + "\n";
    if (reference.lines != engine.lines)
        found += "lines: reference " + std::to_string(reference.lines) + ", engine " +
                 std::to_string(engine.lines) + "\n";
    if (reference.output != engine.output)
        found += "output file: " + firstDifference(reference.output, engine.output);
    for (int i = 0; i < KeywordEngine::maxTopWords; ++i) {
        if (reference.topWords[i] != engine.topWords[i] ||
            reference.topCounts[i] != engine.topCounts[i])
            found += "topWords[" + std::to_string(i) + "]: reference \"" +
                     visible(reference.topWords[i]) + "\" " +
                     std::to_string(reference.topCounts[i]) + ", engine \"" +
                     visible(engine.topWords[i]) + "\" " + std::to_string(engine.topCounts[i]) +
                     "\n";
    }
    return found;
}

std::string describe(const KeywordCase& c) {
    const KeywordSettings& s = c.settings;
    std::ostringstream out;
    out << "minBytes " << s.minBytes[0] << ',' << s.minBytes[1] << ',' << s.minBytes[2] << ','
        << s.minBytes[3] << ',' << s.minBytes[4] << ',' << s.minBytes[5] << " minimumCounts "
        << s.minimumCounts << " keywordCounts " << s.keywordCounts << " toDouble " << s.toDouble
        << " toUpper " << s.toUpper << " englishMode " << s.englishMode
        << "\nuser words:" << visible(c.userWords)
        << "\nexcluded words:" << visible(c.excludedWords) << "\ntext (" << c.text.size()
        << " bytes): \"" << visible(c.text) << "\"\n";
    return out.str();
}

std::string describe(const SearchCase& c) {
    std::ostringstream out;
    out << "keyword \"" << visible(c.keyword) << "\" toDouble " << c.toDouble << " toUpper "
        << c.toUpper << "\ntext (" << c.text.size() << " bytes): \"" << visible(c.text) << "\"\n";
    return out.str();
}

class DifferentialTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        directory = fs::temp_directory_path() / ("tallyon-differential-" + std::to_string(stamp) +
                                                 "-" + std::to_string(std::random_device{}()));
        fs::create_directories(directory);
        target = (directory / "target.txt").string();
        engineOutput = (directory / "engine.out").string();
        referenceOutput = (directory / "reference.out").string();
    }

    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }

    // Outputs are read back unless they go to a device such as /dev/full.
    template <class Case, class Run, class ReferenceRun>
    std::string compare(const Case& c, Run engineRun, ReferenceRun referenceRun,
                        const std::string& engineOutputPath, const std::string& referenceOutputPath,
                        bool readOutputs) {
        removeFiles();
        writeFile(target, c.text);
        Outcome engine = engineRun(c, target, engineOutputPath);
        Outcome reference = referenceRun(c, target, referenceOutputPath);
        if (readOutputs) {
            engine.output = readFile(engineOutputPath);
            reference.output = readFile(referenceOutputPath);
        }
        return differences(reference, engine);
    }

    // Fresh files for every case: rewriting a truncated file makes some file systems flush it.
    void removeFiles() {
        for (const std::string& file : {target, engineOutput, referenceOutput}) fs::remove(file);
    }

    std::string compareKeywordRuns(const KeywordCase& c) {
        return compare(c, keywordRun<KeywordEngine>, keywordRun<reference::Engine>, engineOutput,
                       referenceOutput, true);
    }

    std::string compareSearchRuns(const SearchCase& c) {
        return compare(c, searchRun<KeywordEngine>, searchRun<reference::Engine>, engineOutput,
                       referenceOutput, true);
    }

    fs::path directory;
    std::string target;
    std::string engineOutput;
    std::string referenceOutput;
};

// ---------------------------------------------------------------------------------------------
// The tests

TEST(DifferentialConversionsTest, ConversionsAgreeOnRandomText) {
    Random random(1);
    std::string reused;
    for (int i = 0; i < 20000; ++i) {
        const std::string text = mixedText(random, random.below(40));
        ASSERT_EQ(reference::toFullWidthKana(text), toFullWidthKana(text)) << visible(text);
        ASSERT_EQ(reference::toUpperCase(text), toUpperCase(text)) << visible(text);
        toFullWidthKana(text, reused);
        ASSERT_EQ(reference::toFullWidthKana(text), reused) << visible(text);
        toUpperCase(text, reused);
        ASSERT_EQ(reference::toUpperCase(text), reused) << visible(text);
    }
}

std::string mixedTextUpTo1500Bytes(Random& random) {
    return mixedText(random, random.below(1500));
}

// Each family of keyword runs: its own seed, number of cases, text and most user words.
struct KeywordRunFamily {
    const char* name;
    std::uint32_t seed;
    int cases;
    std::string (*text)(Random&);
    int mostUserWords;
};

const KeywordRunFamily keywordRunFamilies[] = {
    {"mixed text", 2, 2500, mixedTextUpTo1500Bytes, 8},
    {"user and excluded words", 3, 3000, denseText, 14},
    {"across block boundaries", 4, 400, blockText, 8},
    {"near the sentence limit", 5, 600, textNearTheSentenceLimit, 8},
    {"many distinct words", 9, 20, manyWordsText, 60},
};

TEST_F(DifferentialTest, KeywordRunsAgree) {
    for (const KeywordRunFamily& family : keywordRunFamilies) {
        Random random(family.seed);
        for (int i = 0; i < family.cases; ++i) {
            const KeywordCase c = keywordCase(random, family.text(random), family.mostUserWords);
            const std::string found = compareKeywordRuns(c);
            ASSERT_TRUE(found.empty()) << family.name << ", case " << i << "\n"
                                       << found << describe(c);
        }
    }
}

TEST_F(DifferentialTest, SearchRunsAgree) {
    Random random(6);
    for (int i = 0; i < 3000; ++i) {
        const int roll = random.below(100);
        std::string text = roll < 80   ? mixedText(random, random.below(1200))
                           : roll < 90 ? textNearTheSentenceLimit(random)
                                       : blockText(random);
        const SearchCase c = searchCase(random, std::move(text));
        const std::string found = compareSearchRuns(c);
        ASSERT_TRUE(found.empty()) << "case " << i << "\n" << found << describe(c);
    }
}

TEST_F(DifferentialTest, RunsAgreeWhenFilesCannotBeOpened) {
    Random random(7);
    const std::string missingTarget = (directory / "missing.txt").string();
    const std::string unwritable = (directory / "missing" / "out.txt").string();
    for (int i = 0; i < 50; ++i) {
        const KeywordCase keywords = keywordCase(random, mixedText(random, 200), 4);
        const SearchCase search = searchCase(random, mixedText(random, 200));
        writeFile(target, keywords.text);

        Outcome engine = keywordRun<KeywordEngine>(keywords, missingTarget, engineOutput);
        Outcome reference = keywordRun<reference::Engine>(keywords, missingTarget, referenceOutput);
        engine.output = readFile(engineOutput);
        reference.output = readFile(referenceOutput);
        ASSERT_EQ(differences(reference, engine), "") << describe(keywords);

        engine = searchRun<KeywordEngine>(search, missingTarget, engineOutput);
        reference = searchRun<reference::Engine>(search, missingTarget, referenceOutput);
        engine.output = readFile(engineOutput);
        reference.output = readFile(referenceOutput);
        ASSERT_EQ(differences(reference, engine), "") << describe(search);

        ASSERT_EQ(differences(keywordRun<reference::Engine>(keywords, target, unwritable),
                              keywordRun<KeywordEngine>(keywords, target, unwritable)),
                  "")
            << describe(keywords);
        ASSERT_EQ(differences(searchRun<reference::Engine>(search, target, unwritable),
                              searchRun<KeywordEngine>(search, target, unwritable)),
                  "")
            << describe(search);
    }
}

// A device that accepts the open and fails every write, where the system has one.
TEST_F(DifferentialTest, RunsAgreeWhenWritesFail) {
    const std::string full = "/dev/full";
    if (!fs::exists(full)) GTEST_SKIP() << "no " << full << " on this system";
    Random random(8);
    for (int i = 0; i < 100; ++i) {
        const KeywordCase keywords = keywordCase(random, mixedText(random, random.below(300)), 4);
        std::string found = compare(keywords, keywordRun<KeywordEngine>,
                                    keywordRun<reference::Engine>, full, full, false);
        ASSERT_TRUE(found.empty()) << "case " << i << "\n" << found << describe(keywords);
        const SearchCase search = searchCase(random, mixedText(random, random.below(300)));
        found = compare(search, searchRun<KeywordEngine>, searchRun<reference::Engine>, full, full,
                        false);
        ASSERT_TRUE(found.empty()) << "case " << i << "\n" << found << describe(search);
    }
}

} // namespace
