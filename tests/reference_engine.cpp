#include "reference_engine.h"

#include <algorithm>
#include <sstream>

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

// The full-width forms of the half-width katakana ｦ to ﾝ (0xA6 to 0xDD), two bytes each:
// ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン
const char fullWidthKana[] =
    "\x83\x92\x83\x40\x83\x42\x83\x44\x83\x46\x83\x48\x83\x83\x83\x85\x83\x87\x83\x62\x81\x5B"
    "\x83\x41\x83\x43\x83\x45\x83\x47\x83\x49\x83\x4A\x83\x4C\x83\x4E\x83\x50\x83\x52\x83\x54"
    "\x83\x56\x83\x58\x83\x5A\x83\x5C\x83\x5E\x83\x60\x83\x63\x83\x65\x83\x67\x83\x69\x83\x6A"
    "\x83\x6B\x83\x6C\x83\x6D\x83\x6E\x83\x71\x83\x74\x83\x77\x83\x7A\x83\x7D\x83\x7E\x83\x80"
    "\x83\x81\x83\x82\x83\x84\x83\x86\x83\x88\x83\x89\x83\x8A\x83\x8B\x83\x8C\x83\x8D\x83\x8F"
    "\x83\x93";

// A half-width kana with ﾞ or ﾟ and the one full-width character that the two compose:
// ｳﾞ ヴ, ｶﾞ to ﾄﾞ ガ to ド, ﾊﾞ to ﾎﾞ バ to ボ, ﾊﾟ to ﾎﾟ パ to ポ.
const std::map<std::string, std::string> composedKana = {
    {"\xB3\xDE", "\x83\x94"}, {"\xB6\xDE", "\x83\x4B"}, {"\xB7\xDE", "\x83\x4D"},
    {"\xB8\xDE", "\x83\x4F"}, {"\xB9\xDE", "\x83\x51"}, {"\xBA\xDE", "\x83\x53"},
    {"\xBB\xDE", "\x83\x55"}, {"\xBC\xDE", "\x83\x57"}, {"\xBD\xDE", "\x83\x59"},
    {"\xBE\xDE", "\x83\x5B"}, {"\xBF\xDE", "\x83\x5D"}, {"\xC0\xDE", "\x83\x5F"},
    {"\xC1\xDE", "\x83\x61"}, {"\xC2\xDE", "\x83\x64"}, {"\xC3\xDE", "\x83\x66"},
    {"\xC4\xDE", "\x83\x68"}, {"\xCA\xDE", "\x83\x6F"}, {"\xCB\xDE", "\x83\x72"},
    {"\xCC\xDE", "\x83\x75"}, {"\xCD\xDE", "\x83\x78"}, {"\xCE\xDE", "\x83\x7B"},
    {"\xCA\xDF", "\x83\x70"}, {"\xCB\xDF", "\x83\x73"}, {"\xCC\xDF", "\x83\x76"},
    {"\xCD\xDF", "\x83\x79"}, {"\xCE\xDF", "\x83\x7C"}};

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
    std::ostringstream bytes;
    bytes << target.rdbuf();
    std::string text = bytes.str();
    text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
    return text;
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
        const auto composed = composedKana.find(text.substr(i, 2));
        if (isLeadByte(c)) {
            out += text.substr(i++, 2);
        } else if (composed != composedKana.end()) {
            out += composed->second;
            ++i;
        } else if (c >= 0xA6 && c <= 0xDD) {
            out += std::string(fullWidthKana + (c - 0xA6) * 2, 2);
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
    const int classes[6] = {HankakuEisuKigo, HankakuKatakana, ZenkakuEisuKigo,
                            ZenkakuHiragana, ZenkakuKatakana, ZenkakuKanji};
    for (int i = 0; i < 6; ++i)
        if (classes[i] == charClass) return minBytes[i];
    return 9999;
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
