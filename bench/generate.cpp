// tallyon-bench-generate: Japanese-looking Shift-JIS text of any size, a folder of such texts in
// Shift-JIS and UTF-8, and the word lists that go with them, for the benchmark. Fixed seeds and
// integer arithmetic only: every build on every machine writes the same bytes, and a shorter text
// is a prefix of a longer one up to its last line.

#include "text_encoding.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

using Bytes = std::string; // Shift-JIS

constexpr char usageText[] =
    "usage: tallyon-bench-generate text FILE SIZE\n"
    "       tallyon-bench-generate corpus DIRECTORY SIZE\n"
    "       tallyon-bench-generate lists DIRECTORY\n"
    "\n"
    "text:   write SIZE bytes of text to FILE; SIZE may end in K, M or G\n"
    "        (powers of 1000).\n"
    "corpus: write one file of text per 50 KB of SIZE, together SIZE bytes, each\n"
    "        from 1 KB to 1 MB, half of them in Shift-JIS and half in UTF-8, in\n"
    "        DIRECTORY and three folders below it.\n"
    "lists: write userwords-0.lst, userwords-1000.lst, userwords-10000.lst,\n"
    "       userwords-100000.lst, ignore-1000.lst and search-keyword.txt.\n";

constexpr std::uint64_t vocabularySeed = 0x5461'6c6c'796f'6e01;
constexpr std::uint64_t textSeed = 0x5461'6c6c'796f'6e02;
constexpr std::uint64_t listSeed = 0x5461'6c6c'796f'6e03;
constexpr std::uint64_t corpusSeed = 0x5461'6c6c'796f'6e04;

constexpr size_t contentWordCount = 200'000;
constexpr size_t userWordCounts[] = {0, 1'000, 10'000, 100'000};
constexpr size_t excludedWordCount = 1'000;
// Frequent enough to be searched for, rare enough to sit in only a few sentences out of a hundred.
constexpr size_t searchKeywordMinimumRank = 20;

// mt19937_64's output is fixed by the standard, the library's distributions are not: every draw
// maps the raw output itself.
class Random {
  public:
    explicit Random(std::uint64_t seed) : engine(seed) {}
    std::uint64_t below(std::uint64_t bound) { return engine() % bound; }
    int between(int low, int high) { return low + static_cast<int>(below(high - low + 1)); }
    bool percent(int chance) { return below(100) < static_cast<std::uint64_t>(chance); }

  private:
    std::mt19937_64 engine;
};

// Rank r (from 0) is drawn with weight 1/(r+offset), Zipf's law with Mandelbrot's offset that
// flattens the head, in integers so that no rounding of a maths library can change the text.
class ZipfTable {
  public:
    ZipfTable(size_t size, std::uint64_t offset) {
        constexpr std::uint64_t scale = std::uint64_t{1} << 32;
        std::uint64_t total = 0;
        for (size_t rank = 0; rank < size; ++rank) {
            total += scale / (rank + offset);
            cumulative.push_back(total);
        }
    }
    size_t draw(Random& random) const {
        std::uint64_t target = random.below(cumulative.back());
        return std::upper_bound(cumulative.begin(), cumulative.end(), target) - cumulative.begin();
    }

  private:
    std::vector<std::uint64_t> cumulative;
};

// Hiragana particles, endings and conjunctions, most frequent first.
const char* const functionWords[] = {
    "\x82\xcc",                         // の
    "\x82\xc9",                         // に
    "\x82\xcd",                         // は
    "\x82\xf0",                         // を
    "\x82\xbd",                         // た
    "\x82\xaa",                         // が
    "\x82\xc5",                         // で
    "\x82\xc4",                         // て
    "\x82\xc6",                         // と
    "\x82\xb5",                         // し
    "\x82\xea",                         // れ
    "\x82\xb3",                         // さ
    "\x82\xa0\x82\xe9",                 // ある
    "\x82\xa2\x82\xe9",                 // いる
    "\x82\xe0",                         // も
    "\x82\xb7\x82\xe9",                 // する
    "\x82\xa9\x82\xe7",                 // から
    "\x82\xc8",                         // な
    "\x82\xb1\x82\xc6",                 // こと
    "\x82\xc6\x82\xb5\x82\xc4",         // として
    "\x82\xa2",                         // い
    "\x82\xe2",                         // や
    "\x82\xea\x82\xe9",                 // れる
    "\x82\xc8\x82\xc7",                 // など
    "\x82\xc8\x82\xc1",                 // なっ
    "\x82\xc8\x82\xa2",                 // ない
    "\x82\xb1\x82\xcc",                 // この
    "\x82\xbd\x82\xdf",                 // ため
    "\x82\xbb\x82\xcc",                 // その
    "\x82\xa0\x82\xc1",                 // あっ
    "\x82\xe6\x82\xa4",                 // よう
    "\x82\xdc\x82\xbd",                 // また
    "\x82\xe0\x82\xcc",                 // もの
    "\x82\xc6\x82\xa2\x82\xa4",         // という
    "\x82\xa0\x82\xe8",                 // あり
    "\x82\xdc\x82\xc5",                 // まで
    "\x82\xe7\x82\xea",                 // られ
    "\x82\xc8\x82\xe9",                 // なる
    "\x82\xd6",                         // へ
    "\x82\xa9",                         // か
    "\x82\xbe",                         // だ
    "\x82\xb1\x82\xea",                 // これ
    "\x82\xc9\x82\xe6\x82\xc1\x82\xc4", // によって
    "\x82\xc9\x82\xe6\x82\xe8",         // により
    "\x82\xa8\x82\xe8",                 // おり
    "\x82\xe6\x82\xe8",                 // より
    "\x82\xb8",                         // ず
    "\x82\xc8\x82\xe8",                 // なり
    "\x82\xe7\x82\xea\x82\xe9",         // られる
    "\x82\xce",                         // ば
    "\x82\xc8\x82\xa9\x82\xc1",         // なかっ
    "\x82\xc8\x82\xad",                 // なく
    "\x82\xb5\x82\xa9\x82\xb5",         // しかし
    "\x82\xc9\x82\xc2\x82\xa2\x82\xc4", // について
    "\x82\xb9",                         // せ
    "\x82\xbe\x82\xc1",                 // だっ
    "\x82\xc5\x82\xab\x82\xe9",         // できる
    "\x82\xbb\x82\xea",                 // それ
    "\x82\xa4",                         // う
    "\x82\xcc\x82\xc5",                 // ので
    "\x82\xc8\x82\xa8",                 // なお
    "\x82\xcc\x82\xdd",                 // のみ
    "\x82\xc5\x82\xab",                 // でき
    "\x82\xab",                         // き
    "\x82\xc2",                         // つ
    "\x82\xa2\x82\xa4",                 // いう
    "\x82\xb3\x82\xe7\x82\xc9",         // さらに
    "\x82\xc5\x82\xe0",                 // でも
    "\x82\xe7",                         // ら
    "\x82\xbd\x82\xe8",                 // たり
    "\x82\xcb",                         // ね
    "\x82\xe6",                         // よ
    "\x82\xed",                         // わ
    "\x82\xbe\x82\xeb\x82\xa4",         // だろう
    "\x82\xc5\x82\xb7",                 // です
    "\x82\xdc\x82\xb7",                 // ます
    "\x82\xc5\x82\xb5\x82\xbd",         // でした
    "\x82\xdc\x82\xb5\x82\xbd",         // ました
};
constexpr size_t functionWordCount = sizeof functionWords / sizeof functionWords[0];

constexpr char fullWidthSpace[] = "\x81\x40";  // 　 (opens a paragraph)
constexpr char comma[] = "\x81\x41";           // 、
constexpr char fullStop[] = "\x81\x42";        // 。
constexpr char exclamationMark[] = "\x81\x49"; // ！
constexpr char questionMark[] = "\x81\x48";    // ？
constexpr char openingQuote[] = "\x81\x75";    // 「
constexpr char closingQuote[] = "\x81\x76";    // 」
constexpr char longVowelMark[] = "\x81\x5b";   // ー
constexpr char repetitionMark[] = "\x81\x58";  // 々
constexpr char lineEnd[] = "\r\n";

enum class WordKind { Kanji, Katakana, Hiragana, Ascii, FullWidthAlphanumeric, HalfWidthKatakana };

struct KindShare {
    WordKind kind;
    int percent;
};

// Shares of the content vocabulary, and so of the content words of the text.
constexpr KindShare contentKinds[] = {
    {WordKind::Kanji, 66},
    {WordKind::Katakana, 10},
    {WordKind::Hiragana, 8},
    {WordKind::Ascii, 7},
    {WordKind::FullWidthAlphanumeric, 4},
    {WordKind::HalfWidthKatakana, 5},
};

WordKind drawKind(Random& random) {
    int roll = random.between(1, 100);
    for (const KindShare& share : contentKinds) {
        if (roll <= share.percent) return share.kind;
        roll -= share.percent;
    }
    return WordKind::Kanji;
}

bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isUtf8Continuation(char b) {
    return (static_cast<unsigned char>(b) & 0xC0) == 0x80;
}

size_t characterSize(const std::string& text, size_t at, TextEncoding encoding) {
    if (encoding == TextEncoding::ShiftJis)
        return isLeadByte(static_cast<unsigned char>(text[at])) ? 2 : 1;
    size_t end = at + 1;
    while (end < text.size() && isUtf8Continuation(text[end])) ++end;
    return end - at;
}

// Byte offsets of the characters of a text, and its length as the last entry.
std::vector<size_t> characterOffsets(const std::string& text,
                                     TextEncoding encoding = TextEncoding::ShiftJis) {
    std::vector<size_t> offsets;
    size_t at = 0;
    while (at < text.size()) {
        offsets.push_back(at);
        at += characterSize(text, at, encoding);
    }
    offsets.push_back(text.size());
    return offsets;
}

void appendDoubleByte(Bytes& text, unsigned lead, unsigned trail) {
    text += static_cast<char>(lead);
    text += static_cast<char>(trail);
}

// Second bytes run 0x40-0xFC without 0x7F.
unsigned trailByte(unsigned index) {
    return index < 0x3F ? 0x40 + index : 0x41 + index;
}

// Lead bytes 0x89-0x97 hold first-level kanji in all 188 cells. Some kanji are far more common
// than others; a step prime to the count spreads the common ones over all rows.
void appendKanji(Bytes& text, Random& random) {
    constexpr unsigned kanjiCount = 15 * 188;
    constexpr unsigned spreadingStep = 997;
    static const ZipfTable kanjiRanks(kanjiCount, 10);
    unsigned index = static_cast<unsigned>(kanjiRanks.draw(random) * spreadingStep % kanjiCount);
    appendDoubleByte(text, 0x89 + index / 188, trailByte(index % 188));
}

void appendHiragana(Bytes& text, Random& random) { // ぁ 0x829F to ん 0x82F1
    appendDoubleByte(text, 0x82, 0x9F + static_cast<unsigned>(random.below(0xF1 - 0x9F + 1)));
}

void appendKatakana(Bytes& text, Random& random) { // ァ 0x8340 to ヶ 0x8396
    appendDoubleByte(text, 0x83, trailByte(static_cast<unsigned>(random.below(0x96 - 0x40))));
}

// ｱ 0xB1 to ﾝ 0xDD; ﾞ 0xDE voices ｳ and ｶ to ﾄ and ﾊ to ﾎ, ﾟ 0xDF goes with ﾊ to ﾎ alone.
void appendHalfWidthKatakana(Bytes& text, Random& random) {
    unsigned char kana = static_cast<unsigned char>(0xB1 + random.below(0xDD - 0xB1 + 1));
    text += static_cast<char>(kana);
    bool takesVoicedMark =
        kana == 0xB3 || (kana >= 0xB6 && kana <= 0xC4) || (kana >= 0xCA && kana <= 0xCE);
    bool takesSemiVoicedMark = kana >= 0xCA && kana <= 0xCE;
    if (takesVoicedMark && random.percent(30))
        text += static_cast<char>(takesSemiVoicedMark && random.percent(40) ? 0xDF : 0xDE);
    else if (random.percent(12))
        text += static_cast<char>(0xB0); // ｰ
}

Bytes makeKanjiWord(Random& random) {
    int roll = random.between(1, 100);
    int length = roll <= 10 ? 1 : roll <= 60 ? 2 : roll <= 85 ? 3 : 4;
    Bytes word;
    for (int i = 0; i < length; ++i) {
        if (i == 1 && random.percent(3))
            word += repetitionMark;
        else
            appendKanji(word, random);
    }
    return word;
}

Bytes makeKatakanaWord(Random& random) {
    Bytes word;
    for (int i = random.between(2, 6); i > 0; --i) {
        appendKatakana(word, random);
        if (random.percent(20)) word += longVowelMark;
    }
    return word;
}

Bytes makeHiraganaWord(Random& random) {
    Bytes word;
    for (int i = random.between(2, 4); i > 0; --i) {
        appendHiragana(word, random);
        if (random.percent(5)) word += longVowelMark;
    }
    return word;
}

Bytes makeAsciiWord(Random& random) {
    Bytes word;
    int roll = random.between(1, 100);
    if (roll <= 10) {
        for (int i = random.between(1, 4); i > 0; --i)
            word += static_cast<char>('0' + random.below(10));
    } else if (roll <= 20) {
        for (int i = random.between(2, 4); i > 0; --i)
            word += static_cast<char>('A' + random.below(26));
    } else {
        for (int i = random.between(2, 9); i > 0; --i)
            word += static_cast<char>('a' + random.below(26));
        if (roll <= 50) word[0] = static_cast<char>(word[0] - 'a' + 'A');
    }
    return word;
}

// Capitals Ａ 0x8260 to Ｚ 0x8279, or digits ０ 0x824F to ９ 0x8258.
Bytes makeFullWidthAlphanumericWord(Random& random) {
    Bytes word;
    bool letters = random.percent(60);
    for (int i = random.between(letters ? 2 : 1, 4); i > 0; --i)
        appendDoubleByte(
            word, 0x82,
            static_cast<unsigned>(letters ? 0x60 + random.below(26) : 0x4F + random.below(10)));
    return word;
}

Bytes makeHalfWidthKatakanaWord(Random& random) {
    Bytes word;
    for (int i = random.between(2, 6); i > 0; --i) appendHalfWidthKatakana(word, random);
    return word;
}

Bytes makeWord(WordKind kind, Random& random) {
    switch (kind) {
    case WordKind::Kanji:
        return makeKanjiWord(random);
    case WordKind::Katakana:
        return makeKatakanaWord(random);
    case WordKind::Hiragana:
        return makeHiraganaWord(random);
    case WordKind::Ascii:
        return makeAsciiWord(random);
    case WordKind::FullWidthAlphanumeric:
        return makeFullWidthAlphanumericWord(random);
    case WordKind::HalfWidthKatakana:
        return makeHalfWidthKatakanaWord(random);
    }
    return {};
}

// The words of the text: distinct content words in rank order, each kind spread over all ranks,
// and the function words that follow them.
class Vocabulary {
  public:
    Vocabulary() : contentRanks(contentWordCount, 3), functionRanks(functionWordCount, 1) {
        Random random(vocabularySeed);
        std::unordered_set<Bytes> seen;
        while (contentWords.size() < contentWordCount) {
            Bytes word = makeWord(drawKind(random), random);
            if (seen.insert(word).second) contentWords.push_back(word);
        }
    }
    const Bytes& contentWord(size_t rank) const { return contentWords[rank]; }
    const Bytes& drawContentWord(Random& random) const {
        return contentWords[contentRanks.draw(random)];
    }
    const char* drawFunctionWord(Random& random) const {
        return functionWords[functionRanks.draw(random)];
    }
    const Bytes& searchKeyword() const {
        for (size_t rank = searchKeywordMinimumRank;; ++rank)
            if (isTwoKanji(contentWords[rank])) return contentWords[rank];
    }

  private:
    static bool isTwoKanji(const Bytes& word) {
        return word.size() == 4 && static_cast<unsigned char>(word[0]) >= 0x89 &&
               static_cast<unsigned char>(word[2]) >= 0x89;
    }

    std::vector<Bytes> contentWords;
    ZipfTable contentRanks;
    ZipfTable functionRanks;
};

// Lines of prose: paragraphs of several sentences opened by a full-width space, lines of dialogue
// in 「」, now and then a blank line. A sentence stays far below 1024 bytes: it stops growing once
// it passes its drawn length, and no phrase is longer than about 150 bytes.
class TextGenerator {
  public:
    explicit TextGenerator(const Vocabulary& vocabulary)
        : vocabulary(vocabulary), random(textSeed) {}

    const Bytes& nextLine() {
        line.clear();
        int roll = random.between(1, 100);
        if (roll <= 25)
            appendDialogue();
        else if (roll <= 97)
            appendParagraph();
        line += lineEnd;
        return line;
    }

  private:
    void appendParagraph() {
        size_t targetLength = (size_t{40} << random.below(6)) + random.below(40);
        line += fullWidthSpace;
        while (line.size() < targetLength) appendSentence();
    }

    // Spoken lines often close without a full stop: 「そうか」.
    void appendDialogue() {
        line += openingQuote;
        for (int i = random.between(1, 3); i > 0; --i)
            appendJapaneseSentence(i > 1 || random.percent(40));
        line += closingQuote;
    }

    void appendSentence() {
        if (random.percent(3))
            appendEnglishSentence();
        else
            appendJapaneseSentence(true);
    }

    void appendJapaneseSentence(bool ended) {
        size_t end = line.size() + 16 + random.below(150);
        appendPhraseOrQuote();
        while (line.size() < end) {
            if (random.percent(15)) line += comma;
            appendPhraseOrQuote();
        }
        int roll = random.between(1, 100);
        if (ended) line += roll <= 84 ? fullStop : roll <= 92 ? exclamationMark : questionMark;
    }

    void appendPhraseOrQuote() {
        if (random.percent(4))
            appendQuotedPhrases();
        else
            appendPhrase();
    }

    void appendPhrase() {
        line += vocabulary.drawContentWord(random);
        if (random.percent(85)) line += vocabulary.drawFunctionWord(random);
    }

    void appendQuotedPhrases() {
        line += openingQuote;
        for (int i = random.between(1, 3); i > 0; --i) appendPhrase();
        line += closingQuote;
        line += vocabulary.drawFunctionWord(random);
    }

    void appendEnglishSentence() {
        for (int i = random.between(3, 12); i > 0; --i) {
            Bytes word = makeAsciiWord(random);
            line += word;
            line += i > 1 ? " " : random.percent(80) ? "." : random.percent(50) ? "!" : "?";
        }
    }

    const Vocabulary& vocabulary;
    Random random;
    Bytes line;
};

struct OutputFile {
    explicit OutputFile(const std::string& path) : file(std::fopen(path.c_str(), "wb")) {
        if (file) std::setvbuf(file, nullptr, _IOFBF, 1 << 20);
    }
    ~OutputFile() {
        if (file) std::fclose(file);
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void write(const Bytes& bytes) {
        if (file && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) failed = true;
    }
    bool close() {
        bool closed = file && std::fclose(file) == 0;
        file = nullptr;
        return closed && !failed;
    }

    std::FILE* file;
    bool failed = false;
};

// The line cut to whole characters that fit in `room` bytes, filled up with spaces, so that the
// file ends at exactly the size asked for and still on a line end.
std::string fitLastLine(const std::string& line, size_t room, TextEncoding encoding) {
    if (room < 2) return std::string(room, ' ');
    size_t kept = 0;
    for (size_t offset : characterOffsets(line, encoding)) {
        if (offset > room - 2) break;
        kept = offset;
    }
    std::string fitted = line.substr(0, kept);
    fitted.append(room - 2 - kept, ' ');
    return fitted + lineEnd;
}

// The UTF-8 lines are converted by the engine itself, so that a UTF-8 file reads back as the
// Shift-JIS text it was made from.
std::string encodedLine(const Bytes& line, TextEncoding encoding) {
    return encoding == TextEncoding::ShiftJis ? line : fromCodePage932(encoding, line);
}

bool writeLines(const std::string& path, TextGenerator& generator, std::uint64_t size,
                TextEncoding encoding) {
    OutputFile output(path);
    std::uint64_t written = 0;
    while (written < size) {
        std::string line = encodedLine(generator.nextLine(), encoding);
        if (line.size() > size - written) {
            output.write(fitLastLine(line, size - written, encoding));
            break;
        }
        output.write(line);
        written += line.size();
    }
    return output.close();
}

bool writeText(const std::string& path, std::uint64_t size) {
    Vocabulary vocabulary;
    TextGenerator generator(vocabulary);
    return writeLines(path, generator, size, TextEncoding::ShiftJis);
}

// The corpus: one file per 50 KB of text, from 1 KB to 1 MB, in a folder and three below it.
constexpr std::uint64_t averageFileSize = 50'000;
constexpr std::uint64_t smallestFileSize = 1'000;
constexpr std::uint64_t largestFileSize = 1'000'000;
constexpr size_t sizeSteps = 300;
const char* const corpusFolders[] = {"", "interviews/", "articles/", "articles/2026/"};

// Sizes from 1 KB to 1 MB in steps of 10^(1/100), computed in thousandths of a byte so that
// rounding down at each step loses little: the last is 999,978 bytes.
std::vector<std::uint64_t> sizeLadder() {
    constexpr std::uint64_t stepInBillionths = 1'023'292'992;
    std::vector<std::uint64_t> ladder;
    std::uint64_t thousandths = smallestFileSize * 1000;
    for (size_t step = 0; step <= sizeSteps; ++step) {
        ladder.push_back((thousandths + 500) / 1000);
        thousandths = thousandths * stepInBillionths / 1'000'000'000;
    }
    return ladder;
}

// The sizes at `count` evenly spaced quantiles of a spread in which the share of files falls
// linearly with the logarithm of their size, from a weight of 313 at 1 KB to 13 at 1 MB: many
// short texts, a few long ones, and a mean of about 50 KB.
std::vector<std::uint64_t> quantileSizes(size_t count) {
    constexpr std::uint64_t weightAtLargest = 13;
    std::vector<std::uint64_t> ladder = sizeLadder();
    std::vector<std::uint64_t> cumulative;
    std::uint64_t totalWeight = 0;
    for (size_t step = 0; step <= sizeSteps; ++step) {
        totalWeight += sizeSteps - step + weightAtLargest;
        cumulative.push_back(totalWeight);
    }
    std::vector<std::uint64_t> sizes;
    for (size_t i = 0; i < count; ++i) {
        std::uint64_t quantile = (2 * i + 1) * totalWeight / (2 * count);
        sizes.push_back(ladder[std::upper_bound(cumulative.begin(), cumulative.end(), quantile) -
                               cumulative.begin()]);
    }
    return sizes;
}

// Scales the sizes to sum to `total` exactly, each within [low, high]: a size that scaling takes
// past a bound stays at the bound and the others are scaled again; the bytes that rounding down
// leaves go one each to the sizes below `high`. Needs count × low <= total <= count × high.
void fitToTotal(std::vector<std::uint64_t>& sizes, std::uint64_t total, std::uint64_t low,
                std::uint64_t high) {
    const std::vector<std::uint64_t> shape = sizes;
    std::vector<bool> atBound(sizes.size(), false);
    for (bool bounded = true; bounded;) {
        bounded = false;
        std::uint64_t boundSum = 0, freeShape = 0;
        for (size_t i = 0; i < sizes.size(); ++i) {
            if (atBound[i])
                boundSum += sizes[i];
            else
                freeShape += shape[i];
        }
        for (size_t i = 0; i < sizes.size() && freeShape > 0; ++i) {
            if (atBound[i]) continue;
            std::uint64_t scaled = shape[i] * (total - boundSum) / freeShape;
            sizes[i] = std::clamp(scaled, low, high);
            if (sizes[i] != scaled) atBound[i] = bounded = true;
        }
    }
    std::uint64_t sum = 0;
    for (std::uint64_t size : sizes) sum += size;
    for (size_t i = 0; sum < total; i = (i + 1) % sizes.size()) {
        if (sizes[i] < high) ++sizes[i], ++sum;
    }
}

struct CorpusFile {
    std::uint64_t size;
    TextEncoding encoding;
};

// Encodings alternate along the sizes, so that the Shift-JIS and the UTF-8 half have the same
// spread; the order of the files is shuffled, so that their names say nothing of their size.
std::vector<CorpusFile> planCorpus(std::uint64_t total) {
    size_t count = static_cast<size_t>(std::max<std::uint64_t>(1, total / averageFileSize));
    std::vector<std::uint64_t> sizes = quantileSizes(count);
    fitToTotal(sizes, total, std::min(smallestFileSize, total / count), largestFileSize);
    std::vector<CorpusFile> files;
    for (size_t i = 0; i < count; ++i)
        files.push_back({sizes[i], i % 2 ? TextEncoding::Utf8 : TextEncoding::ShiftJis});
    Random random(corpusSeed);
    for (size_t i = count; i > 1; --i) std::swap(files[i - 1], files[random.below(i)]);
    return files;
}

// text-0001.txt and on, numbered with as many digits as the count needs (four at least), dealt
// to the folders in turn.
std::string corpusFilePath(const std::string& directory, size_t index, size_t count) {
    std::string number = std::to_string(index + 1);
    size_t digits = std::max<size_t>(4, std::to_string(count).size());
    number.insert(0, digits - number.size(), '0');
    return directory + "/" + corpusFolders[index % std::size(corpusFolders)] + "text-" + number +
           ".txt";
}

// The files continue one stream of text, each from the start of a line.
bool writeCorpus(const std::string& directory, std::uint64_t size) {
    for (const char* folder : corpusFolders) {
        std::error_code error;
        std::filesystem::create_directories(directory + "/" + folder, error);
        if (error) return false;
    }
    std::vector<CorpusFile> files = planCorpus(size);
    Vocabulary vocabulary;
    TextGenerator generator(vocabulary);
    bool written = true;
    for (size_t i = 0; i < files.size(); ++i)
        written = writeLines(corpusFilePath(directory, i, files.size()), generator, files[i].size,
                             files[i].encoding) &&
                  written;
    return written;
}

// The middle of a word of three characters or more: two characters at least, never all of it.
Bytes innerPart(const Bytes& word, Random& random) {
    std::vector<size_t> offsets = characterOffsets(word);
    int characters = static_cast<int>(offsets.size()) - 1;
    int length = random.between(2, characters - 1);
    int start = random.between(0, characters - length);
    return word.substr(offsets[start], offsets[start + length] - offsets[start]);
}

const Bytes& drawLongContentWord(const Vocabulary& vocabulary, Random& random) {
    for (;;) {
        const Bytes& word = vocabulary.drawContentWord(random);
        if (characterOffsets(word).size() > 3) return word;
    }
}

// Mostly parts of frequent words, then whole words of the text, then words it never holds.
Bytes drawUserWord(const Vocabulary& vocabulary, Random& random) {
    int roll = random.between(1, 100);
    if (roll <= 60) return innerPart(drawLongContentWord(vocabulary, random), random);
    if (roll <= 80) return vocabulary.drawContentWord(random);
    return makeWord(drawKind(random), random);
}

// Each shorter list is the start of the longest one.
std::vector<Bytes> makeUserWords(const Vocabulary& vocabulary, Random& random) {
    size_t count = *std::max_element(std::begin(userWordCounts), std::end(userWordCounts));
    std::vector<Bytes> words;
    std::unordered_set<Bytes> seen;
    while (words.size() < count) {
        Bytes word = drawUserWord(vocabulary, random);
        if (seen.insert(word).second) words.push_back(word);
    }
    return words;
}

// Stop words as a user would pick them: the commonest particles, some of the user words, and the
// most frequent content words.
std::vector<Bytes> makeExcludedWords(const Vocabulary& vocabulary,
                                     const std::vector<Bytes>& userWords) {
    constexpr size_t particleCount = 20;
    constexpr size_t sampledUserWords = 10'000; // those of the 10,000-word case
    constexpr size_t userWordStride = 50;
    std::vector<Bytes> words;
    std::unordered_set<Bytes> seen;
    auto add = [&](const Bytes& word) {
        if (words.size() < excludedWordCount && seen.insert(word).second) words.push_back(word);
    };
    for (size_t i = 0; i < particleCount; ++i) add(functionWords[i]);
    for (size_t i = 0; i < sampledUserWords; i += userWordStride) add(userWords[i]);
    for (size_t rank = 0; words.size() < excludedWordCount; ++rank)
        add(vocabulary.contentWord(rank));
    return words;
}

bool writeList(const std::string& path, const std::vector<Bytes>& words, size_t count) {
    OutputFile output(path);
    for (size_t i = 0; i < count; ++i) output.write(words[i] + lineEnd);
    return output.close();
}

bool writeLists(const std::string& directory) {
    Vocabulary vocabulary;
    Random random(listSeed);
    std::vector<Bytes> userWords = makeUserWords(vocabulary, random);
    bool written = true;
    for (size_t count : userWordCounts)
        written = writeList(directory + "/userwords-" + std::to_string(count) + ".lst", userWords,
                            count) &&
                  written;
    std::vector<Bytes> excluded = makeExcludedWords(vocabulary, userWords);
    written = writeList(directory + "/ignore-1000.lst", excluded, excluded.size()) && written;
    OutputFile keyword(directory + "/search-keyword.txt");
    keyword.write(vocabulary.searchKeyword());
    return keyword.close() && written;
}

// Decimal digits, optionally followed by K, M or G; 0 when the text is anything else.
std::uint64_t parseSize(const std::string& text) {
    size_t digitCount = std::min(text.find_first_not_of("0123456789"), text.size());
    std::string unit = text.substr(digitCount);
    std::uint64_t multiplier = unit.empty()  ? 1
                               : unit == "K" ? 1'000
                               : unit == "M" ? 1'000'000
                               : unit == "G" ? 1'000'000'000
                                             : 0;
    if (digitCount == 0) return 0;
    return std::strtoull(text.c_str(), nullptr, 10) * multiplier;
}

int usageError() {
    std::fputs(usageText, stderr);
    return 64;
}

} // namespace

int main(int argc, char** argv) {
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "text" && argc == 4) {
        std::uint64_t size = parseSize(argv[3]);
        if (size == 0) return usageError();
        if (writeText(argv[2], size)) return 0;
        std::fprintf(stderr, "tallyon-bench-generate: cannot write '%s'\n", argv[2]);
        return 1;
    }
    if (command == "corpus" && argc == 4) {
        std::uint64_t size = parseSize(argv[3]);
        if (size == 0) return usageError();
        if (writeCorpus(argv[2], size)) return 0;
        std::fprintf(stderr, "tallyon-bench-generate: cannot write the corpus in '%s'\n", argv[2]);
        return 1;
    }
    if (command == "lists" && argc == 3) {
        if (writeLists(argv[2])) return 0;
        std::fprintf(stderr, "tallyon-bench-generate: cannot write the lists in '%s'\n", argv[2]);
        return 1;
    }
    return usageError();
}
