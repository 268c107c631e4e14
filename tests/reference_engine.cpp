#include "reference_engine.h"

#include <iterator>

namespace reference {
namespace {

enum RunKind { KeywordRun = 1, SearchRun = 2 };
enum RunResult { ResultOk = 0, ResultIoError = 1, ResultSearchError = 2, ResultBufferOverflow = 4 };

enum CharClass {
    Separator = 0,
    HankakuEisuKigo = 11,
    HankakuKatakana = 12,
    ZenkakuEisuKigo = 21,
    ZenkakuHiragana = 22,
    ZenkakuKatakana = 23,
    ZenkakuKanji = 24,
    ControlChar = 99,
    ContinuesRun = -1, // 々 and ー take the class of the run in progress
};

constexpr unsigned char CR = 0x0D;
constexpr unsigned char LF = 0x0A;
constexpr std::size_t sentenceLimit = 1024;
constexpr int repeatLimit = 1025;

bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEF);
}

unsigned char byteAt(const std::string& text, std::size_t i) {
    return static_cast<unsigned char>(text[i]);
}

// The leftmost occurrence of needle that starts on a character boundary of text; a lead byte and
// the byte after it form one character whatever that byte is.
std::size_t findOnCharacterBoundary(const std::string& text, const std::string& needle) {
    for (std::size_t at = 0; at < text.size(); at += isLeadByte(byteAt(text, at)) ? 2 : 1) {
        if (text.compare(at, needle.size(), needle) == 0) return at;
    }
    return std::string::npos;
}

struct KanaRow {
    unsigned char halfWidth;
    const char* fullWidth;
};

const KanaRow fullWidthKana[] = {
    {0xA6, "\x83\x92"}, // ｦ ヲ
    {0xA7, "\x83\x40"}, // ｧ ァ
    {0xA8, "\x83\x42"}, // ｨ ィ
    {0xA9, "\x83\x44"}, // ｩ ゥ
    {0xAA, "\x83\x46"}, // ｪ ェ
    {0xAB, "\x83\x48"}, // ｫ ォ
    {0xAC, "\x83\x83"}, // ｬ ャ
    {0xAD, "\x83\x85"}, // ｭ ュ
    {0xAE, "\x83\x87"}, // ｮ ョ
    {0xAF, "\x83\x62"}, // ｯ ッ
    {0xB0, "\x81\x5B"}, // ｰ ー
    {0xB1, "\x83\x41"}, // ｱ ア
    {0xB2, "\x83\x43"}, // ｲ イ
    {0xB3, "\x83\x45"}, // ｳ ウ
    {0xB4, "\x83\x47"}, // ｴ エ
    {0xB5, "\x83\x49"}, // ｵ オ
    {0xB6, "\x83\x4A"}, // ｶ カ
    {0xB7, "\x83\x4C"}, // ｷ キ
    {0xB8, "\x83\x4E"}, // ｸ ク
    {0xB9, "\x83\x50"}, // ｹ ケ
    {0xBA, "\x83\x52"}, // ｺ コ
    {0xBB, "\x83\x54"}, // ｻ サ
    {0xBC, "\x83\x56"}, // ｼ シ
    {0xBD, "\x83\x58"}, // ｽ ス
    {0xBE, "\x83\x5A"}, // ｾ セ
    {0xBF, "\x83\x5C"}, // ｿ ソ
    {0xC0, "\x83\x5E"}, // ﾀ タ
    {0xC1, "\x83\x60"}, // ﾁ チ
    {0xC2, "\x83\x63"}, // ﾂ ツ
    {0xC3, "\x83\x65"}, // ﾃ テ
    {0xC4, "\x83\x67"}, // ﾄ ト
    {0xC5, "\x83\x69"}, // ﾅ ナ
    {0xC6, "\x83\x6A"}, // ﾆ ニ
    {0xC7, "\x83\x6B"}, // ﾇ ヌ
    {0xC8, "\x83\x6C"}, // ﾈ ネ
    {0xC9, "\x83\x6D"}, // ﾉ ノ
    {0xCA, "\x83\x6E"}, // ﾊ ハ
    {0xCB, "\x83\x71"}, // ﾋ ヒ
    {0xCC, "\x83\x74"}, // ﾌ フ
    {0xCD, "\x83\x77"}, // ﾍ ヘ
    {0xCE, "\x83\x7A"}, // ﾎ ホ
    {0xCF, "\x83\x7D"}, // ﾏ マ
    {0xD0, "\x83\x7E"}, // ﾐ ミ
    {0xD1, "\x83\x80"}, // ﾑ ム
    {0xD2, "\x83\x81"}, // ﾒ メ
    {0xD3, "\x83\x82"}, // ﾓ モ
    {0xD4, "\x83\x84"}, // ﾔ ヤ
    {0xD5, "\x83\x86"}, // ﾕ ユ
    {0xD6, "\x83\x88"}, // ﾖ ヨ
    {0xD7, "\x83\x89"}, // ﾗ ラ
    {0xD8, "\x83\x8A"}, // ﾘ リ
    {0xD9, "\x83\x8B"}, // ﾙ ル
    {0xDA, "\x83\x8C"}, // ﾚ レ
    {0xDB, "\x83\x8D"}, // ﾛ ロ
    {0xDC, "\x83\x8F"}, // ﾜ ワ
    {0xDD, "\x83\x93"}, // ﾝ ン
};

struct MarkedKanaRow {
    unsigned char halfWidth;
    const char* voiced;     // with ﾞ (0xDE)
    const char* semiVoiced; // with ﾟ (0xDF); nullptr where the kana takes no such mark
};

const MarkedKanaRow markedKana[] = {
    {0xB3, "\x83\x94", nullptr},    // ｳ ヴ
    {0xB6, "\x83\x4B", nullptr},    // ｶ ガ
    {0xB7, "\x83\x4D", nullptr},    // ｷ ギ
    {0xB8, "\x83\x4F", nullptr},    // ｸ グ
    {0xB9, "\x83\x51", nullptr},    // ｹ ゲ
    {0xBA, "\x83\x53", nullptr},    // ｺ ゴ
    {0xBB, "\x83\x55", nullptr},    // ｻ ザ
    {0xBC, "\x83\x57", nullptr},    // ｼ ジ
    {0xBD, "\x83\x59", nullptr},    // ｽ ズ
    {0xBE, "\x83\x5B", nullptr},    // ｾ ゼ
    {0xBF, "\x83\x5D", nullptr},    // ｿ ゾ
    {0xC0, "\x83\x5F", nullptr},    // ﾀ ダ
    {0xC1, "\x83\x61", nullptr},    // ﾁ ヂ
    {0xC2, "\x83\x64", nullptr},    // ﾂ ヅ
    {0xC3, "\x83\x66", nullptr},    // ﾃ デ
    {0xC4, "\x83\x68", nullptr},    // ﾄ ド
    {0xCA, "\x83\x6F", "\x83\x70"}, // ﾊ バ パ
    {0xCB, "\x83\x72", "\x83\x73"}, // ﾋ ビ ピ
    {0xCC, "\x83\x75", "\x83\x76"}, // ﾌ ブ プ
    {0xCD, "\x83\x78", "\x83\x79"}, // ﾍ ベ ペ
    {0xCE, "\x83\x7B", "\x83\x7C"}, // ﾎ ボ ポ
};

// The full-width form of kana c followed by mark, or nullptr when the two do not compose.
const char* composedKana(unsigned char c, unsigned char mark) {
    for (const MarkedKanaRow& row : markedKana) {
        if (row.halfWidth != c) continue;
        if (mark == 0xDE) return row.voiced;
        if (mark == 0xDF) return row.semiVoiced;
    }
    return nullptr;
}

const char* plainFullWidthKana(unsigned char c) {
    for (const KanaRow& row : fullWidthKana) {
        if (row.halfWidth == c) return row.fullWidth;
    }
    return nullptr;
}

// Double-byte character classes; the first rule that matches decides.
int classOfDoubleByte(unsigned char lead, unsigned char trail) {
    if (lead == 0x82 && trail >= 0x9F) return ZenkakuHiragana;
    if (lead == 0x83 && trail >= 0x40 && trail <= 0x9E) return ZenkakuKatakana;
    if (lead == 0x81 && (trail == 0x58 || trail == 0x5B)) return ContinuesRun;
    if (lead == 0x81 && trail == 0x40) return Separator;
    if (lead == 0x81 || (lead == 0x82 && trail >= 0x40 && trail <= 0x9E) ||
        (lead == 0x83 && trail >= 0x9F) || (lead >= 0x84 && lead <= 0x87) ||
        (lead == 0x88 && trail >= 0x40 && trail <= 0x9E))
        return ZenkakuEisuKigo;
    return ZenkakuKanji;
}

bool isFullWidthSentenceEnd(unsigned char lead, unsigned char trail) {
    return lead == 0x81 && (trail == 0x42 || trail == 0x49 || trail == 0x48); // 。！？
}

std::string withoutZeroBytes(std::ifstream& target) {
    std::string bytes;
    for (std::istreambuf_iterator<char> it(target), end; it != end; ++it) {
        if (*it != '\0') bytes += *it;
    }
    return bytes;
}

} // namespace

std::string toUpperCase(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = byteAt(text, i);
        if (isLeadByte(c)) {
            out += text.substr(i, 2);
            ++i;
        } else if (c >= 'a' && c <= 'z') {
            out += static_cast<char>(c - 0x20);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string toFullWidthKana(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = byteAt(text, i);
        const unsigned char next = i + 1 < text.size() ? byteAt(text, i + 1) : 0;
        if (isLeadByte(c)) {
            out += text.substr(i, 2);
            ++i;
        } else if (const char* composed = composedKana(c, next)) {
            out += composed;
            ++i;
        } else if (const char* plain = plainFullWidthKana(c)) {
            out += plain;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

Engine::Engine(const char* outputPath, int minBytesHankakuEisuKigo, int minBytesHankakuKatakana,
               int minBytesZenkakuEisuKigo, int minBytesZenkakuHiragana,
               int minBytesZenkakuKatakana, int minBytesZenkakuKanji, int minimumCounts,
               int keywordCounts, int toDouble, int toUpper, int englishMode)
    : runKind(KeywordRun), output(outputPath, std::ios::binary | std::ios::trunc),
      minBytes{
          minBytesHankakuEisuKigo, minBytesHankakuKatakana, minBytesZenkakuEisuKigo,
          minBytesZenkakuHiragana, minBytesZenkakuKatakana, minBytesZenkakuKanji,
      },
      minimumCounts(minimumCounts), keywordCounts(keywordCounts), toDouble(toDouble),
      toUpper(toUpper), englishMode(englishMode) {}

Engine::Engine(const char* outputPath, const char* searchKeyword, int toDouble, int toUpper)
    : runKind(SearchRun), output(outputPath, std::ios::binary | std::ios::trunc),
      toDouble(toDouble), toUpper(toUpper), searchKeyword(searchKeyword) {}

void Engine::addUserWord(int length, const char* word) {
    userWordsByLength.emplace(length, word);
}

void Engine::addExcludedWord(const char* word) {
    excludedWords.insert(word);
}

// Text mode by hand: every line feed reaches the file as CR LF on every platform.
void Engine::write(const std::string& bytes) {
    for (char c : bytes) {
        if (c == '\n') output.put('\r');
        output.put(c);
    }
}

int Engine::run(const char* targetPath) {
    if (!output.is_open()) return ResultIoError;
    std::ifstream target(targetPath, std::ios::binary);
    if (!target) {
        output.close();
        return ResultSearchError;
    }
    const int code = scanSentences(withoutZeroBytes(target));
    if (code != ResultOk) {
        output.close();
        return code;
    }
    buildRanking();
    output.flush();
    return output.good() ? ResultOk : ResultIoError;
}

// Zero bytes are already gone, so the file is one stream of bytes and the block size of a
// reader cannot matter. atSecondByte tracks characters only for the 。！？ test; CR, LF, '.',
// '!' and '?' keep their meaning wherever they stand.
int Engine::scanSentences(const std::string& bytes) {
    std::string sentence;
    unsigned char previous = 0;
    bool atSecondByte = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        unsigned char b = byteAt(bytes, i);
        if (b == CR || (b == LF && previous != CR)) {
            ++lineCount;
            processSentence(sentence);
            sentence.clear();
            atSecondByte = false;
        } else if (b == '.' || b == '!' || b == '?') {
            processSentence(sentence + static_cast<char>(b));
            sentence.clear();
            atSecondByte = false;
        } else if (!atSecondByte && i + 1 < bytes.size() &&
                   isFullWidthSentenceEnd(b, byteAt(bytes, i + 1))) {
            processSentence(sentence + bytes.substr(i, 2));
            sentence.clear();
            atSecondByte = false;
            b = byteAt(bytes, ++i);
        } else {
            if (b != LF) sentence += static_cast<char>(b); // the LF of a CR LF pair is dropped
            atSecondByte = !atSecondByte && isLeadByte(b);
            if (sentence.size() == sentenceLimit) return ResultBufferOverflow;
        }
        previous = b;
    }
    if (!sentence.empty()) { // the last line counts as if a line break followed it
        ++lineCount;
        processSentence(sentence);
    }
    return ResultOk;
}

void Engine::processSentence(const std::string& sentence) {
    sentenceText = stripTags(sentence);
    if (runKind == KeywordRun) {
        segmentSentence();
    } else {
        matchSentence();
        if (sentenceHit == 1) writeResultLine();
    }
    sentenceText.clear();
    sentenceHit = 0;
}

std::string Engine::stripTags(const std::string& sentence) {
    std::string text;
    bool insideTag = false;
    for (char c : sentence) {
        if (c == '<') {
            insideTag = true;
        } else if (c == '>') {
            insideTag = false;
        } else if (!insideTag) {
            text += c;
        }
    }
    return text;
}

int Engine::classOfSingleByte(unsigned char b) const {
    if (b <= 0x1F) return ControlChar;
    if (b >= 0xA0) return HankakuKatakana;
    if (b == 0x20) return Separator;
    if (englishMode == 1 && (b == 0x22 || b == 0x27 || b == 0x2C)) return Separator;
    return HankakuEisuKigo;
}

int Engine::minBytesFor(int charClass) const {
    switch (charClass) {
    case HankakuEisuKigo:
        return minBytes[0];
    case HankakuKatakana:
        return minBytes[1];
    case ZenkakuEisuKigo:
        return minBytes[2];
    case ZenkakuHiragana:
        return minBytes[3];
    case ZenkakuKatakana:
        return minBytes[4];
    case ZenkakuKanji:
        return minBytes[5];
    default:
        return 9999;
    }
}

void Engine::segmentSentence() {
    const std::string& text = sentenceText;
    std::string word;
    int runClass = Separator;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const unsigned char b = byteAt(text, pos);
        const bool doubleByte = isLeadByte(b);
        unsigned char trail = 0; // stays 0 for a lead byte at the end of the sentence
        int charClass;
        if (doubleByte) {
            ++pos;
            if (pos < text.size()) trail = byteAt(text, pos);
            charClass = classOfDoubleByte(b, trail);
        } else {
            charClass = classOfSingleByte(b);
        }
        if (charClass != ContinuesRun && charClass != runClass) {
            finishWord(runClass, word);
            word.clear();
            runClass = charClass;
        }
        if (b >= 0x20) word += static_cast<char>(b);
        if (doubleByte && trail != 0) word += static_cast<char>(trail);
    }
    finishWord(runClass, word);
}

void Engine::finishWord(int charClass, const std::string& word) {
    if (static_cast<std::uint32_t>(word.size()) <
        static_cast<std::uint32_t>(minBytesFor(charClass)))
        return;
    if (charClass == HankakuKatakana && toDouble == 1)
        registerConvertedForm(toFullWidthKana(word), word);
    if (charClass == HankakuEisuKigo && toUpper == 1)
        registerConvertedForm(toUpperCase(word), word);
    registerWord(word);
}

void Engine::registerConvertedForm(const std::string& converted, const std::string& word) {
    if (converted != word) registerWord(converted);
}

void Engine::registerWord(const std::string& word) {
    std::string copy = word;
    bool wholeWordIsUserWord = false;
    for (auto it = userWordsByLength.rbegin(); it != userWordsByLength.rend(); ++it) {
        const int length = it->first;
        const std::string& userWord = it->second;
        if (length > static_cast<int>(copy.size())) continue;
        for (int repeat = 0; repeat < repeatLimit; ++repeat) {
            const std::size_t at = findOnCharacterBoundary(copy, userWord);
            if (at == std::string::npos) break;
            copy.replace(at, length, length, ' ');
            if (length == static_cast<int>(copy.size())) wholeWordIsUserWord = true;
            if (!isExcluded(userWord)) countWord(userWord);
        }
    }
    if (wholeWordIsUserWord) return;
    if (!isExcluded(word)) countWord(word);
}

void Engine::buildRanking() {
    std::multimap<std::int64_t, std::string> ranking;
    for (const auto& [word, count] : wordCounts) {
        if (count >= minimumCounts) ranking.emplace(count, word);
    }
    int position = 0;
    for (auto it = ranking.rbegin(); it != ranking.rend(); ++it) {
        if (position < keywordCounts && position < maxTopWords) {
            topWords[position] = it->second;
            topCounts[position] = it->first;
        }
        ++position;
        write(std::to_string(it->first) + " : " + it->second + "\n");
    }
}

void Engine::matchSentence() {
    if (searchKeyword.empty()) {
        sentenceHit = 1;
        return;
    }
    std::string text = sentenceText;
    std::string keyword = searchKeyword;
    if (toDouble == 1) {
        text = toFullWidthKana(text);
        keyword = toFullWidthKana(keyword);
    }
    if (toUpper == 1) {
        text = toUpperCase(text);
        keyword = toUpperCase(keyword);
    }
    if (findOnCharacterBoundary(text, keyword) != std::string::npos) sentenceHit = 1;
}

void Engine::writeResultLine() {
    write(std::to_string(lineCount) + "L : " + sentenceText + "\n\n");
}

// "// ※※※※※ 検索結果 開始 ※※※※※ //" and "// ※※※※※ 検索結果 終了 ※※※※※ //"
void Engine::writeSearchHeader() {
    write("// \x81\xA6\x81\xA6\x81\xA6\x81\xA6\x81\xA6 \x8C\x9F\x8D\xF5\x8C\x8B\x89\xCA "
          "\x8A\x4A\x8E\x6E \x81\xA6\x81\xA6\x81\xA6\x81\xA6\x81\xA6 //\n\n");
}

void Engine::writeSearchFooter() {
    write("// \x81\xA6\x81\xA6\x81\xA6\x81\xA6\x81\xA6 \x8C\x9F\x8D\xF5\x8C\x8B\x89\xCA "
          "\x8F\x49\x97\xB9 \x81\xA6\x81\xA6\x81\xA6\x81\xA6\x81\xA6 //\n");
}

} // namespace reference
