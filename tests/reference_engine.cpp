#include "reference_engine.h"

#include "text_encoding.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

namespace reference {
namespace {

// Word classes as the segmentation sees them; the first six in the order of minBytes.
enum Class { HalfAlnum, HalfKana, FullAlnum, Hiragana, Katakana, Kanji, Separator, Control, Same };

bool isLead(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

unsigned char at(const std::string& text, size_t i) {
    return static_cast<unsigned char>(text[i]);
}

// The leftmost occurrence of needle that starts on a character boundary of text.
size_t findOnBoundary(const std::string& text, const std::string& needle) {
    for (size_t i = 0; i < text.size(); i += isLead(at(text, i)) ? 2 : 1)
        if (text.compare(i, needle.size(), needle) == 0) return i;
    return std::string::npos;
}

std::string sjis(const char* utf8) {
    return toCodePage932(TextEncoding::Utf8, utf8);
}

// ｦ (0xA6) to ﾝ (0xDD) in full width.
const std::string fullWidthKana =
    sjis(u8"ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテト"
         u8"ナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン");

// A kana and its mark compose one: ｳﾞ ヴ, ｶﾞ to ﾄﾞ ガ to ド, ﾊﾞ to ﾎﾞ バ to ボ, ﾊﾟ to ﾎﾟ パ to ポ.
std::map<std::string, std::string> composedKanaTable() {
    const std::string halves = sjis(u8"ｳﾞｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ");
    const std::string wholes = sjis(u8"ヴガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポ");
    std::map<std::string, std::string> table;
    for (size_t i = 0; i < wholes.size(); i += 2) table[halves.substr(i, 2)] = wholes.substr(i, 2);
    return table;
}
const std::map<std::string, std::string> composedKana = composedKanaTable();

// The first rule that matches decides; 々 and ー continue the run they stand in.
Class classOfDoubleByte(unsigned char lead, unsigned char trail) {
    if (lead == 0x82 && trail >= 0x9F) return Hiragana;
    if (lead == 0x83 && trail >= 0x40 && trail <= 0x9E) return Katakana;
    if (lead == 0x81 && (trail == 0x58 || trail == 0x5B)) return Same;
    if (lead == 0x81 && trail == 0x40) return Separator;
    if (lead == 0x81 || (lead == 0x82 && trail >= 0x40 && trail <= 0x9E) ||
        (lead == 0x83 && trail >= 0x9F) || (lead >= 0x84 && lead <= 0x87) ||
        (lead == 0x88 && trail >= 0x40 && trail <= 0x9E))
        return FullAlnum;
    return Kanji;
}

Class classOfSingleByte(unsigned char b, bool englishMode) {
    if (b <= 0x1F) return Control;
    if (b >= 0xA0) return HalfKana;
    if (b == ' ' || (englishMode && (b == '"' || b == '\'' || b == ','))) return Separator;
    return HalfAlnum;
}

std::string contentsWithoutZeroBytes(std::ifstream& file) {
    std::ostringstream bytes;
    bytes << file.rdbuf();
    std::string text = bytes.str();
    text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
    return text;
}

std::string withoutTags(const std::string& sentence) {
    std::string text;
    bool inTag = false;
    for (char c : sentence) {
        if (c == '<' || c == '>')
            inTag = c == '<';
        else if (!inTag)
            text += c;
    }
    return text;
}

// Calls process(sentence, lines so far) for each sentence of the target, tags stripped. A line
// ends at CR, LF or CR LF; a sentence also at . ! ? and at 。！？ on a character boundary. False
// when a sentence reaches defaultSentenceLimit without its end.
bool forEachSentence(const std::string& bytes,
                     const std::function<void(const std::string&, std::int64_t)>& process) {
    std::string sentence;
    std::int64_t lines = 0;
    bool atSecondByte = false;
    auto end = [&](const std::string& last) {
        process(withoutTags(sentence + last), lines);
        sentence.clear();
        atSecondByte = false;
    };
    for (size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char b = at(bytes, i);
        const unsigned char next = i + 1 < bytes.size() ? at(bytes, i + 1) : 0;
        if (b == '\r' || (b == '\n' && (i == 0 || at(bytes, i - 1) != '\r'))) {
            ++lines;
            end("");
        } else if (b == '.' || b == '!' || b == '?') {
            end(std::string(1, b));
        } else if (!atSecondByte && b == 0x81 && (next == 0x42 || next == 0x49 || next == 0x48)) {
            end(bytes.substr(i++, 2));
        } else if (b != '\n') { // the LF of a CR LF
            sentence += static_cast<char>(b);
            atSecondByte = !atSecondByte && isLead(b);
            if (sentence.size() == defaultSentenceLimit) return false;
        }
    }
    if (!sentence.empty()) { // the last line counts as if a line break followed it
        ++lines;
        end("");
    }
    return true;
}

// Every line feed reaches the file as CR LF.
void write(std::ofstream& file, const std::string& text) {
    for (char c : text) {
        if (c == '\n') file.put('\r');
        file.put(c);
    }
}

// User words longest first, and greatest first among equals.
std::vector<std::string> inWalkOrder(std::vector<std::string> words) {
    std::sort(words.begin(), words.end(),
              [](auto& a, auto& b) { return a.size() != b.size() ? a.size() > b.size() : a > b; });
    return words;
}

// Words end where the class changes; control bytes end a word and are not part of one. Calls
// visit(class, word) for every run, the empty one at the start included.
void segment(const std::string& text, bool englishMode,
             const std::function<void(Class, const std::string&)>& visit) {
    std::string word;
    Class runClass = Separator;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char b = at(text, i);
        const bool doubleByte = isLead(b) && i + 1 < text.size();
        Class charClass = doubleByte  ? classOfDoubleByte(b, at(text, i + 1))
                          : isLead(b) ? classOfDoubleByte(b, 0)
                                      : classOfSingleByte(b, englishMode);
        if (charClass != Same && charClass != runClass) {
            visit(runClass, word);
            word.clear();
            runClass = charClass;
        }
        if (b >= 0x20) word += text.substr(i, doubleByte ? 2 : 1);
        i += doubleByte;
    }
    visit(runClass, word);
}

bool isShort(Class wordClass, const std::string& word, const KeywordRunOptions& options) {
    return word.size() < static_cast<std::uint32_t>(options.minBytes[wordClass]);
}

std::string convertedWord(Class wordClass, const std::string& word,
                          const KeywordRunOptions& options) {
    return wordClass == HalfKana && options.toFullWidth ? toFullWidthKana(word)
           : wordClass == HalfAlnum && options.toUpper  ? toUpperCase(word)
                                                        : word;
}

struct Tally {
    const KeywordRunOptions& options;
    const std::vector<std::string> userWords;
    std::map<std::string, std::int64_t> counts;

    bool excluded(const std::string& word) const {
        return std::count(options.excludedWords.begin(), options.excludedWords.end(), word) != 0;
    }

    // User words, in walk order, are counted and blanked where they occur on a character
    // boundary, at most 1025 times each (a blank user word finds its own blanks); the word itself
    // counts unless one user word covered all of it.
    void count(const std::string& word) {
        std::string rest = word;
        bool wholeWordIsUserWord = false;
        for (const std::string& userWord : userWords) {
            size_t found;
            for (int n = 0;
                 n < 1025 && (found = findOnBoundary(rest, userWord)) != std::string::npos; ++n) {
                rest.replace(found, userWord.size(), userWord.size(), ' ');
                wholeWordIsUserWord |= userWord.size() == rest.size();
                if (!excluded(userWord)) ++counts[userWord];
            }
        }
        if (!wholeWordIsUserWord && !excluded(word)) ++counts[word];
    }

    void finishWord(Class wordClass, const std::string& word) {
        if (wordClass > Kanji || isShort(wordClass, word, options)) return;
        const std::string converted = convertedWord(wordClass, word, options);
        if (converted != word) count(converted);
        count(word);
    }
};

// Every character of the word is one of `characters` (Shift-JIS, each one or two bytes).
bool onlyOf(const std::string& word, const std::string& characters) {
    for (size_t i = 0; i < word.size(); i += isLead(at(word, i)) ? 2 : 1) {
        const std::string character = word.substr(i, isLead(at(word, i)) ? 2 : 1);
        bool found = false;
        for (size_t j = 0; j < characters.size() && !found; j += isLead(at(characters, j)) ? 2 : 1)
            found = characters.compare(j, character.size(), character) == 0;
        if (!found) return false;
    }
    return true;
}

const std::string katakana = sjis(
    u8"ァアィイゥウェエォオカガキギクグケゲコゴサザシジスズセゼソゾタダチヂッツヅテデトド"
    u8"ナニヌネノハバパヒビピフブプヘベペホボポマミムメモャヤュユョヨラリルレロヮワヰヱヲンヴヵヶー"
    u8"ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝﾞﾟ");
const std::string lettersAndDigits =
    sjis(u8"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
         u8"０１２３４５６７８９ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ"
         u8"ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ");

bool isChainWord(Class wordClass, const std::string& word) {
    return wordClass == Kanji ||
           ((wordClass == Katakana || wordClass == HalfKana) && onlyOf(word, katakana)) ||
           ((wordClass == HalfAlnum || wordClass == FullAlnum) && onlyOf(word, lettersAndDigits));
}

// Every chain of 2 to maxWords words in a row of each sentence, joined as the text has them and
// joined converted; the converted one counts too where it differs.
std::map<std::string, std::int64_t> chainCounts(const std::string& bytes,
                                                const CompoundRunOptions& options, bool& complete) {
    const KeywordRunOptions& o = options.words;
    std::map<std::string, std::int64_t> counts;
    complete = forEachSentence(bytes, [&](const std::string& sentence, std::int64_t) {
        std::vector<std::pair<std::string, std::string>> chain; // words as read and converted
        segment(sentence, o.englishMode, [&](Class wordClass, const std::string& word) {
            const bool excluded = std::count(o.excludedWords.begin(), o.excludedWords.end(), word);
            if (!isChainWord(wordClass, word) || isShort(wordClass, word, o) || excluded) {
                chain.clear();
                return;
            }
            chain.emplace_back(word, convertedWord(wordClass, word, o));
            std::string read, converted;
            for (size_t n = 1; n <= chain.size() && n <= static_cast<size_t>(options.maxWords);
                 ++n) {
                read = chain[chain.size() - n].first + read;
                converted = chain[chain.size() - n].second + converted;
                if (n == 1) continue;
                ++counts[read];
                if (converted != read) ++counts[converted];
            }
        });
    });
    return counts;
}

// By count, and among equal counts the greater word first; the first rows are handed back.
void writeRanking(const std::map<std::string, std::int64_t>& counts,
                  const KeywordRunOptions& options, std::ofstream& log,
                  std::vector<RankingRow>& rows) {
    std::vector<std::pair<std::int64_t, std::string>> ordered;
    for (const auto& [word, count] : counts)
        if (count >= options.minimumCount) ordered.emplace_back(count, word);
    std::sort(ordered.begin(), ordered.end(), std::greater<>());
    for (const auto& [count, word] : ordered) {
        if (static_cast<int>(rows.size()) < std::min(options.rows, maxKeywordRows))
            rows.push_back({count, word});
        write(log, std::to_string(count) + " : " + word + "\n");
    }
}

} // namespace

std::string toUpperCase(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = at(text, i);
        out += isLead(c) ? text.substr(i++, 2) : std::string(1, c >= 'a' && c <= 'z' ? c - 32 : c);
    }
    return out;
}

std::string toFullWidthKana(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = at(text, i);
        const auto composed = composedKana.find(text.substr(i, 2));
        if (isLead(c))
            out += text.substr(i++, 2);
        else if (composed != composedKana.end())
            out += composed->second, ++i;
        else if (c >= 0xA6 && c <= 0xDD)
            out += fullWidthKana.substr((c - 0xA6) * 2, 2);
        else
            out += static_cast<char>(c);
    }
    return out;
}

RunResult run(const char* targetPath, const char* logPath, const KeywordRunOptions& options,
              std::vector<RankingRow>& rows) {
    rows.clear();
    std::ofstream log(logPath, std::ios::binary);
    if (!log) return RunResult::OutputError;
    std::ifstream target(targetPath, std::ios::binary);
    if (!target) return RunResult::TargetUnreadable;
    Tally tally{options, inWalkOrder(options.userWords), {}};
    if (!forEachSentence(contentsWithoutZeroBytes(target), [&](const std::string& sentence,
                                                               std::int64_t) {
            segment(sentence, options.englishMode, [&](Class wordClass, const std::string& word) {
                tally.finishWord(wordClass, word);
            });
        }))
        return RunResult::SentenceTooLong;
    writeRanking(tally.counts, options, log, rows);
    log.close();
    return log ? RunResult::Done : RunResult::OutputError;
}

RunResult run(const char* targetPath, const char* logPath, const CompoundRunOptions& options,
              std::vector<RankingRow>& rows) {
    rows.clear();
    std::ofstream log(logPath, std::ios::binary);
    if (!log) return RunResult::OutputError;
    std::ifstream target(targetPath, std::ios::binary);
    if (!target) return RunResult::TargetUnreadable;
    bool complete = false;
    std::map<std::string, std::int64_t> counts =
        chainCounts(contentsWithoutZeroBytes(target), options, complete);
    if (!complete) return RunResult::SentenceTooLong;
    for (const std::string& userWord : options.words.userWords) counts.erase(userWord);
    writeRanking(counts, options.words, log, rows);
    log.close();
    return log ? RunResult::Done : RunResult::OutputError;
}

const std::string searchHeader = sjis(u8"// ※※※※※ 検索結果 開始 ※※※※※ //\n\n");
const std::string searchFooter = sjis(u8"// ※※※※※ 検索結果 終了 ※※※※※ //\n");

// The sentence and the keyword are compared in converted form; a hit is written as read.
RunResult run(const char* targetPath, const char* resultPath, const SearchRunOptions& options) {
    std::ofstream result(resultPath, std::ios::binary);
    if (!result) return RunResult::OutputError;
    write(result, searchHeader);
    std::ifstream target(targetPath, std::ios::binary);
    if (!target) return RunResult::TargetUnreadable;
    auto converted = [&](std::string text) {
        if (options.toFullWidth) text = toFullWidthKana(text);
        return options.toUpper ? toUpperCase(text) : text;
    };
    const std::string keyword = converted(options.keyword);
    auto match = [&](const std::string& sentence, std::int64_t lines) {
        if (keyword.empty() || findOnBoundary(converted(sentence), keyword) != std::string::npos)
            write(result, std::to_string(lines) + "L : " + sentence + "\n\n");
    };
    if (!forEachSentence(contentsWithoutZeroBytes(target), match))
        return RunResult::SentenceTooLong;
    write(result, searchFooter);
    result.close();
    return result ? RunResult::Done : RunResult::OutputError;
}

} // namespace reference
