// The engine against the plain reference implementation in reference_engine.cpp, on thousands of
// generated inputs with fixed seeds. Both must agree byte for byte on keyword.log and result.txt,
// on the result code and the rows.

#include "conversions.h"
#include "keyword_engine.h"
#include "reference_engine.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

namespace fs = std::filesystem;
using namespace std::string_literals;
using Strings = std::vector<std::string>;

namespace {

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

Strings joined(const std::vector<Strings>& lists) {
    Strings all;
    for (const auto& list : lists) all.insert(all.end(), list.begin(), list.end());
    return all;
}

const Strings words = joined({
    {"abc",  "ABC",  "aBc", "This", "is",    "a",          "pen",    "don't", "ABC123",
     "x",    "AA",   "AAA", "AB",   "BC",    "ABXAB",      "3",      "#",     "-",
     "\x7f", "\x80", "A",   "B",    "\"q\"", "\"quoted\"", "one,two"},
    // 東京 東京都 東京都庁 日本 今日 は 晴れ 時々 々 ー コーヒー すごーい カタカナ ガイド ひらがな
    // ＡＢＣ ａｂｃ α ヂ メ 、 「 」 ─ 亜 ① 纊 ぁ ヶ
    {"\x93\x8c\x8b\x9e",
     "\x93\x8c\x8b\x9e\x93\x73",
     "\x93\x8c\x8b\x9e\x93\x73\x92\xa1",
     "\x93\xfa\x96\x7b",
     "\x8d\xa1\x93\xfa",
     "\x82\xcd",
     "\x90\xb0\x82\xea",
     "\x8e\x9e\x81\x58",
     "\x81\x58",
     "\x81\x5b",
     "\x83\x52\x81\x5b\x83\x71\x81\x5b",
     "\x82\xb7\x82\xb2\x81\x5b\x82\xa2",
     "\x83\x4a\x83\x5e\x83\x4a\x83\x69",
     "\x83\x4b\x83\x43\x83\x68",
     "\x82\xd0\x82\xe7\x82\xaa\x82\xc8",
     "\x82\x60\x82\x61\x82\x62",
     "\x82\x81\x82\x82\x82\x83",
     "\x83\xbf",
     "\x83\x61",
     "\x83\x81",
     "\x81\x41",
     "\x81\x75",
     "\x81\x76",
     "\x84\x9f",
     "\x88\x9f",
     "\x87\x40",
     "\xed\x40",
     "\x82\x9f",
     "\x83\x96"},
    // ｶﾞｲﾄﾞ ﾃｽﾄ ﾊﾟﾝ ｳﾞ ﾅﾞ ﾜﾞ (no voiced forms) ｶﾀｶﾅ ｰ ｡ ･ ﾞ ﾟ, and bytes of the class that are no
    // kana
    {"\xb6\xde\xb2\xc4\xde", "\xc3\xbd\xc4", "\xca\xdf\xdd", "\xb3\xde", "\xc5\xde", "\xdc\xde",
     "\xb6\xc0\xb6\xc5", "\xb0", "\xa1", "\xa5", "\xde", "\xdf", "\xa0\xf0\xfd\xff"},
});

const Strings separators = {" ", "  ", "\x81\x40" /* 　 */, ",", "\"", "'"};
const Strings sentenceEnds = {".", "!", "?", "\x81\x42", "\x81\x49", "\x81\x48"}; // 。！？
const Strings lineBreaks = {"\r", "\n", "\r\n", "\n\r", "\r\n\r\n", "\r\r\n"};
const Strings tags = {"<b>", "</b>", "<", ">", "<p class=\"x\">", "<\x93\x8c>"};
const Strings controls = {"\t", "\x1a", "\x01", "\x1f", "\0"s, "\0\0\0"s};
const std::vector<unsigned char> leadBytes = {0x81, 0x82, 0x83, 0x88, 0x9f, 0xe0, 0xef};

// What follows a lone lead byte: bytes that end a line or a sentence, or a byte that would
// complete 。 if the lead byte were taken for 0x81 at a character start.
const Strings afterLoneLead = {"\r",   "\n",       "\r\n",    ".",   "!", "?",
                               "\x42", "\x81\x42", "\0\x42"s, "\0"s, ""};

std::string doubleByteCharacter(Random& random) {
    std::string character(1, static_cast<char>(random.pick(leadBytes)));
    return character + static_cast<char>(random.chance(80) ? random.between(0x40, 0xfc)
                                                           : random.between(0x01, 0xff));
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
    return text.size() - std::count(text.begin(), text.end(), '\0');
}

// A sentence whose length lands near the 1024-byte limit, without what ends it. Runs of one
// character (a A ｶ ｶﾞ あ ー 東) make words of 1000 bytes and more; converted, longer still.
std::string longSentenceBody(Random& random) {
    const std::size_t length =
        random.chance(70) ? random.between(1020, 1026) : random.between(1000, 1040);
    std::string sentence;
    if (random.chance(25)) {
        const std::string character =
            random.pick(Strings{"a", "A", "\xb6", "\xb6\xde", "\x82\xa0", "\x81\x5b", "\x93\x8c"});
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

// Line and sentence ends, none, あ, a lead byte alone before the line break, メ B.
const Strings longSentenceEndings = {"\r\n",     "\n",       "\r",          ".",        "?",
                                     "",         "y",        "\0\r"s,       "\x81\x42", "\x81\x49",
                                     "\x82\xa0", "\x81\r\n", "\x83\x81\x42"};

std::string longSentence(Random& random) {
    return longSentenceBody(random) + random.pick(longSentenceEndings);
}

// Generated texts reach block boundaries every blockSize bytes. The engine reads 256 KiB at a
// time and a zero byte counts as if it were not in the file, so a run of zero bytes before every
// blockSize bytes puts the engine's block boundaries there.
constexpr std::size_t blockSize = 8192;
constexpr std::size_t engineBlockSize = 256 * 1024;

std::string atBlockBoundaries(const std::string& text) {
    std::string file;
    for (std::size_t at = 0; at < text.size(); at += blockSize)
        file += std::string(engineBlockSize - blockSize, '\0') + text.substr(at, blockSize);
    return file;
}

// A long sentence that ends at the first block boundary, so that its last byte, its terminator
// or the byte that overflows it are read with the next block.
std::string longSentenceAtBlockEnd(Random& random) {
    const std::string body = longSentenceBody(random);
    const std::size_t prefixLength = blockSize + random.between(-2, 1) - body.size();
    std::string text = mixedText(random, prefixLength);
    text.resize(prefixLength - 2);
    text += "\r\n" + body + random.pick(longSentenceEndings) + mixedText(random, random.below(100));
    return atBlockBoundaries(text);
}

// Byte sequences laid across a block boundary, which falls before sequence[split]: 。！？, メ B
// (the 0x81 a second byte), 0x81 characters before 0x81 B, 。 with zero bytes inside, 東京, ｶﾞ,
// a lead byte before CR or '.', line breaks, a tag and zero bytes.
struct Straddle {
    std::string sequence;
    std::size_t split;
};

const std::vector<Straddle> straddles = {{"\x81\x42", 1},
                                         {"\x81\x49", 1},
                                         {"\x81\x48", 1},
                                         {"\x83\x81\x42", 1},
                                         {"\x83\x81\x42", 2},
                                         {"\x81\x81\x42", 1},
                                         {"\x81\x81\x42", 2},
                                         {"\x81\x81\x81\x42", 2},
                                         {"\x81\0\x42"s, 1},
                                         {"\x81\0\x42"s, 2},
                                         {"\x81\0\0\0\x42"s, 3},
                                         {"\x93\x8c\x8b\x9e", 1},
                                         {"\x93\x8c\x8b\x9e", 3},
                                         {"\xb6\xde", 1},
                                         {"\x82\r\n", 1},
                                         {"\x82.", 1},
                                         {"\r\n", 1},
                                         {"\r\0\n"s, 1},
                                         {"\r\0\n"s, 2},
                                         {"\n\r", 1},
                                         {"<b>", 1},
                                         {"\0\0\0\0\0\0\0\0"s, 4}};

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
    return atBlockBoundaries(text);
}

std::string textNearTheSentenceLimit(Random& random) {
    if (random.chance(25)) return longSentenceAtBlockEnd(random);
    std::string text = mixedText(random, random.below(300)) + random.pick(lineBreaks);
    text += longSentence(random);
    if (random.chance(20)) text += longSentence(random);
    return text + mixedText(random, random.below(200));
}

// Many distinct words of a b X 1 ｱ ｶ あ い ア 東 京 々 ー, so that the tally grows through many
// sizes and long runs of equal counts are ranked.
std::string manyWordsText(Random& random) {
    const Strings letters = {"a",        "b",        "X",        "1",        "\xb1",
                             "\xb6",     "\x82\xa0", "\x82\xa2", "\x83\x41", "\x93\x8c",
                             "\x8b\x9e", "\x81\x58", "\x81\x5b"};
    const std::size_t length = random.between(10000, 40000);
    std::string text;
    while (text.size() < length) {
        for (int n = random.between(1, 6); n > 0; --n) text += random.pick(letters);
        text += random.chance(90) ? " " : random.pick(lineBreaks);
    }
    return text;
}

// Short texts over few characters (東 京 都 ヂ メ カ ｶ ﾞ ｰ ー 々), so that user words occur often
// and overlap.
const Strings denseLetters = {
    "A",        "B",        "X",        "a",    "b",    "ABA",  "\x93\x8c", "\x8b\x9e", "\x93\x73",
    "\x83\x61", "\x83\x81", "\x83\x4a", "\xb6", "\xde", "\xb0", "\x81\x5b", "\x81\x58"};

std::string denseText(Random& random) {
    const std::size_t length = random.below(400);
    std::string text;
    while (text.size() < length) {
        const int roll = random.below(100);
        text += roll < 75   ? random.pick(denseLetters)
                : roll < 85 ? random.pick(separators)
                : roll < 92 ? random.pick(lineBreaks)
                : roll < 96 ? random.pick(sentenceEnds)
                            : loneLeadByte(random);
    }
    return text;
}

std::string mixedTextUpTo1500Bytes(Random& random) {
    return mixedText(random, random.below(1500));
}

// ---------------------------------------------------------------------------------------------
// Settings, word lists and keywords

struct KeywordCase {
    std::string text;
    // In the order of the constructor: six minimum lengths, minimumCounts, keywordCounts,
    // toDouble, toUpper, englishMode.
    int settings[11];
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
    if (roll < 62) return random.pick(Strings{" ", "  ", "A ", " A", "A B", " \xb6"});
    if (roll < 70) return pieceOf(random, text) + static_cast<char>(random.pick(leadBytes));
    if (roll < 78) return reference::toFullWidthKana(pieceOf(random, text));
    if (roll < 84) return reference::toUpperCase(pieceOf(random, text));
    if (sofar.empty()) return random.pick(denseLetters);
    std::string sameLength = *std::next(sofar.begin(), random.below(sofar.size()));
    sameLength[random.below(sameLength.size())] = random.pick(std::vector<char>{'A', 'B', ' '});
    return sameLength;
}

KeywordCase keywordCase(Random& random, std::string text, int mostUserWords) {
    KeywordCase c{std::move(text), {}, {}, {}};
    for (int i = 0; i < 6; ++i)
        c.settings[i] = random.pick(std::vector<int>{0, 0, 1, 2, 2, 3, 4, 4, 6, 8, -1, INT32_MIN});
    c.settings[6] = random.pick(std::vector<int>{0, 1, 1, 2, 3, 5, -1});
    c.settings[7] = random.chance(85) ? random.between(0, 50) : random.between(-3, -1);
    for (int i = 8; i < 11; ++i) c.settings[i] = aSwitch(random);
    for (int n = random.between(0, mostUserWords); n > 0; --n) {
        const std::string word = randomUserWord(random, c.text, c.userWords);
        if (!word.empty() && !cannotBeListed(word)) c.userWords.insert(word);
    }
    for (const std::string& word : c.userWords)
        if (random.chance(25)) c.excludedWords.insert(word);
    for (int n = random.between(0, 3); n > 0; --n) {
        const std::string word = random.chance(50) ? pieceOf(random, c.text) : random.pick(words);
        if (!word.empty() && !cannotBeListed(word)) c.excludedWords.insert(word);
    }
    return c;
}

// Keywords as the keyword rows hand them over: words of the text (converted or not), pieces that
// may start at a second byte, and the empty keyword. The keyword box cannot hold a zero byte.
SearchCase searchCase(Random& random, std::string text) {
    SearchCase c{std::move(text), "", aSwitch(random), aSwitch(random)};
    const int roll = random.below(100);
    if (roll < 10)
        c.keyword = "";
    else if (roll < 50)
        c.keyword = pieceOf(random, c.text);
    else if (roll < 60)
        c.keyword = reference::toFullWidthKana(pieceOf(random, c.text));
    else if (roll < 68)
        c.keyword = reference::toUpperCase(pieceOf(random, c.text));
    else if (roll < 74) {
        c.keyword = pieceOf(random, c.text);
        for (char& b : c.keyword)
            if (b >= 'A' && b <= 'Z') b = static_cast<char>(b + 0x20);
    } else if (roll < 92)
        c.keyword = random.pick(words);
    else
        c.keyword = doubleByteCharacter(random).substr(random.below(2));
    c.keyword.erase(std::remove(c.keyword.begin(), c.keyword.end(), '\0'), c.keyword.end());
    return c;
}

// ---------------------------------------------------------------------------------------------
// Running both implementations

// Bytes as a C string literal would show them; long runs of zero bytes are counted.
std::string visible(const std::string& bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        const std::size_t zeros = std::min(bytes.find_first_not_of('\0', i), bytes.size()) - i;
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02x", b);
        if (zeros > 8) {
            out += "\\x00{" + std::to_string(zeros) + "}";
            i += zeros - 1;
        } else {
            out += b >= 0x20 && b < 0x7f && b != '\\' ? std::string(1, bytes[i]) : hex;
        }
    }
    return out;
}

std::string describe(const KeywordCase& c) {
    std::string text = "settings";
    for (int value : c.settings) text += " " + std::to_string(value);
    text += "\nuser words:";
    for (const std::string& word : c.userWords) text += " \"" + visible(word) + "\"";
    text += "\nexcluded words:";
    for (const std::string& word : c.excludedWords) text += " \"" + visible(word) + "\"";
    return text + "\ntext (" + std::to_string(c.text.size()) + " bytes): \"" + visible(c.text) +
           "\"\n";
}

std::string describe(const SearchCase& c) {
    return "keyword \"" + visible(c.keyword) + "\" toDouble " + std::to_string(c.toDouble) +
           " toUpper " + std::to_string(c.toUpper) + "\ntext (" + std::to_string(c.text.size()) +
           " bytes): \"" + visible(c.text) + "\"\n";
}

template <class Engine>
std::unique_ptr<Engine> engineFor(const KeywordCase& c, const std::string& output) {
    const int* s = c.settings;
    auto engine = std::make_unique<Engine>(output.c_str(), s[0], s[1], s[2], s[3], s[4], s[5], s[6],
                                           s[7], s[8], s[9], s[10]);
    for (const std::string& word : c.userWords)
        engine->addUserWord(static_cast<int>(word.size()), word.c_str());
    for (const std::string& word : c.excludedWords) engine->addExcludedWord(word.c_str());
    return engine;
}

template <class Engine>
std::unique_ptr<Engine> engineFor(const SearchCase& c, const std::string& output) {
    auto engine =
        std::make_unique<Engine>(output.c_str(), c.keyword.c_str(), c.toDouble, c.toUpper);
    engine->writeSearchHeader();
    return engine;
}

// A run as one text: result code, the filled rows (a count beside an empty row is never read)
// and the output file, unless it is a device.
template <class Engine, class Case>
std::string outcomeOf(const Case& c, const std::string& target, const std::string& output) {
    std::string outcome;
    {
        std::unique_ptr<Engine> engine = engineFor<Engine>(c, output);
        outcome = "code " + std::to_string(engine->run(target.c_str())) + "\n";
        if constexpr (std::is_same_v<Case, SearchCase>) engine->writeSearchFooter();
        for (int i = 0; i < maxKeywordRows; ++i)
            if (!engine->topWords[i].empty())
                outcome += "row " + std::to_string(i) + ": " +
                           std::to_string(engine->topCounts[i]) + " " + engine->topWords[i] + "\n";
    }
    return output == "/dev/full" ? outcome : outcome + "output:\n" + readBytes(output);
}

// The same for the engine.
std::string outcomeOf(const KeywordCase& c, const std::string& target, const std::string& output) {
    const int* s = c.settings;
    KeywordRunOptions options{
        {s[0], s[1], s[2], s[3], s[4], s[5]}, s[6], s[7], s[8] == 1, s[9] == 1, s[10] == 1, {}, {}};
    options.userWords.assign(c.userWords.begin(), c.userWords.end());
    options.excludedWords.assign(c.excludedWords.begin(), c.excludedWords.end());
    std::vector<RankingRow> rows;
    std::string outcome =
        "code " +
        std::to_string(static_cast<int>(run(target.c_str(), output.c_str(), options, rows))) + "\n";
    for (size_t i = 0; i < rows.size(); ++i)
        outcome += "row " + std::to_string(i) + ": " + std::to_string(rows[i].count) + " " +
                   rows[i].word + "\n";
    return output == "/dev/full" ? outcome : outcome + "output:\n" + readBytes(output);
}

std::string outcomeOf(const SearchCase& c, const std::string& target, const std::string& output) {
    SearchRunOptions options{c.keyword, c.toDouble == 1, c.toUpper == 1};
    std::string outcome =
        "code " + std::to_string(static_cast<int>(run(target.c_str(), output.c_str(), options))) +
        "\n";
    return output == "/dev/full" ? outcome : outcome + "output:\n" + readBytes(output);
}

class DifferentialTest : public testing::Test {
  protected:
    // Whether both agree on case c; when not, the first difference and the case.
    template <class Case>
    testing::AssertionResult agree(const Case& c, std::string target = "",
                                   std::string output = "") {
        // Fresh files for every case: rewriting a truncated file makes some file systems flush it.
        for (const char* name : {"target.txt", "engine.out", "reference.out"})
            fs::remove(folder.file(name));
        // Pages of zero bytes are left as holes in the file, which cost no writing.
        std::ofstream file(folder.file("target.txt"), std::ios::binary);
        for (std::size_t at = 0, page = 65536; at < c.text.size(); at += page) {
            const std::string_view bytes = std::string_view(c.text).substr(at, page);
            if (at + page < c.text.size() && bytes.find_first_not_of('\0') == std::string::npos)
                file.seekp(page, std::ios::cur);
            else
                file.write(bytes.data(), bytes.size());
        }
        file.close();
        if (target.empty()) target = folder.file("target.txt");
        const std::string reference = outcomeOf<reference::Engine>(
            c, target, output.empty() ? folder.file("reference.out") : output);
        const std::string engine =
            outcomeOf(c, target, output.empty() ? folder.file("engine.out") : output);
        if (reference == engine) return testing::AssertionSuccess();
        std::size_t at = 0;
        while (at < reference.size() && at < engine.size() && reference[at] == engine[at]) ++at;
        const std::size_t from = at < 80 ? 0 : at - 80;
        return testing::AssertionFailure()
               << "first difference at byte " + std::to_string(at) +
                      " of the outcome\n  reference: \"" + visible(reference.substr(from, 200)) +
                      "\"\n  engine:    \"" + visible(engine.substr(from, 200)) + "\"\n" +
                      describe(c);
    }

    TemporaryFolder folder;
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
            ASSERT_TRUE(agree(c)) << family.name << ", case " << i;
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
        ASSERT_TRUE(agree(searchCase(random, std::move(text)))) << "case " << i;
    }
}

// A target that cannot be opened, an output that cannot be created, and one that accepts the open
// and fails every write, where the system has such a device.
TEST_F(DifferentialTest, RunsAgreeWhenFilesCannotBeOpenedOrWritten) {
    Random random(7);
    const std::string missing = folder.file("missing.txt");
    const std::string unwritable = folder.file("missing/out.txt");
    const bool devFull = fs::exists("/dev/full");
    for (int i = 0; i < 100; ++i) {
        const KeywordCase keywords = keywordCase(random, mixedText(random, random.below(300)), 4);
        const SearchCase search = searchCase(random, mixedText(random, random.below(300)));
        ASSERT_TRUE(agree(keywords, missing)) << "case " << i;
        ASSERT_TRUE(agree(search, missing)) << "case " << i;
        ASSERT_TRUE(agree(keywords, "", unwritable)) << "case " << i;
        ASSERT_TRUE(agree(search, "", unwritable)) << "case " << i;
        if (!devFull) continue;
        ASSERT_TRUE(agree(keywords, "", "/dev/full")) << "case " << i;
        ASSERT_TRUE(agree(search, "", "/dev/full")) << "case " << i;
    }
}

} // namespace
