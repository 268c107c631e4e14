// The engine against the plain reference engine in reference_engine.cpp: on a table of hand-made
// inputs and on thousands of generated ones with fixed seeds, both must agree byte for byte on the
// output file, the result code and the rows.

#include "keyword_engine.h"
#include "reference_engine.h"
#include "test_files.h"
#include "text_encoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <sstream>

namespace {

using namespace std::string_literals;
using Strings = std::vector<std::string>;

// mt19937's output is fixed by the standard, the library's distributions are not: the generated
// cases are the same with every compiler.
class Random {
  public:
    explicit Random(std::uint32_t seed) : engine(seed) {}
    int below(size_t n) { return static_cast<int>(engine() % n); }
    int between(int low, int high) { return low + below(static_cast<size_t>(high - low + 1)); }
    bool chance(int percent) { return below(100) < percent; }
    template <class T> const T& pick(const std::vector<T>& items) {
        return items[below(items.size())];
    }

  private:
    std::mt19937 engine;
};

// The words of UTF-8 text separated by spaces, in Shift-JIS.
Strings sjisWords(const char* utf8) {
    Strings split;
    std::istringstream text(toCodePage932(TextEncoding::Utf8, utf8));
    for (std::string word; text >> word;) split.push_back(word);
    return split;
}

// DEL, 0x80, 纊 in its NEC code, which no conversion gives, half-width bytes that are no kana, and
// characters led by 0xF0-0xFC: user-defined, 髙 with a second byte that is ｱ alone, and 﨑.
const Strings words = [] {
    Strings all = {"\x7f", "\x80", "\xed\x40", "\xa0\xfd\xff", "\xf0\x40", "\xfb\xfc", "\xfa\xb1"};
    for (const std::string& word :
         sjisWords(u8"abc ABC aBc This is a pen don't ABC123 x AA AB ABXAB 3 # - \"q\" one,two "
                   u8"東京 東京都 日本 は 晴れ 時々 々 ー コーヒー すごーい カタカナ ガイド "
                   u8"ＡＢＣ ａｂｃ α ヂ メ 、 「 ─ 亜 ① ぁ ヶ ｶﾞｲﾄﾞ ﾃｽﾄ ﾊﾟﾝ ｳﾞ ﾅﾞ ｶﾀｶﾅ ｰ ｡ ･ ﾞ ﾟ "
                   u8"髙橋 山﨑 ⅰ ⅹ 德 ｱ"))
        all.push_back(word);
    return all;
}();
const Strings separators = {" ", "  ", "\x81\x40" /* 　 */, ",", "\"", "'"};
const Strings sentenceEnds = {".", "!", "?", "\x81\x42", "\x81\x49", "\x81\x48"}; // 。！？
const Strings lineBreaks = {"\r", "\n", "\r\n", "\n\r", "\r\n\r\n", "\r\r\n"};
const Strings tags = {"<b>", "</b>", "<", ">", "<p class=\"x\">", "<\x93\x8c>"};
const Strings controls = {"\t", "\x1a", "\x01", "\x1f", "\0"s, "\0\0\0"s};
const std::vector<char> leadBytes = {'\x81', '\x82', '\x83', '\x88', '\x9f',
                                     '\xe0', '\xef', '\xf0', '\xfa', '\xfc'};
// What may follow a lone lead byte: ends of lines and sentences, and bytes that would complete
// 。 if the lead byte were taken for 0x81 at a character start.
const Strings afterLoneLead = {"\r", "\n", "\r\n", ".", "!", "\x42", "\x81\x42", "\0\x42"s, ""};

std::string doubleByteCharacter(Random& random) {
    return {random.pick(leadBytes), static_cast<char>(random.chance(80) ? random.between(0x40, 0xfc)
                                                                        : random.between(1, 255))};
}

std::string anyPiece(Random& random) {
    const int roll = random.below(100);
    if (roll < 38) return random.pick(words);
    if (roll < 50) return random.pick(separators);
    if (roll < 58) return random.pick(sentenceEnds);
    if (roll < 66) return random.pick(lineBreaks);
    if (roll < 71) return random.pick(tags);
    if (roll < 75) return random.pick(controls);
    if (roll < 80) return random.pick(leadBytes) + random.pick(afterLoneLead);
    if (roll < 92) return doubleByteCharacter(random);
    return std::string(1, static_cast<char>(random.between(1, 255)));
}

std::string mixedText(Random& random, size_t length) {
    std::string text;
    while (text.size() < length) text += anyPiece(random);
    return text;
}

// A sentence whose length lands near the limit, without what ends it: a run of one character
// (a A ｶ ｶﾞ あ ー 東) or letters and あ.
std::string longSentenceBody(Random& random) {
    const size_t length =
        random.chance(70) ? random.between(1020, 1026) : random.between(1000, 1040);
    const std::string character =
        random.chance(25)
            ? random.pick(Strings{"a", "A", "\xb6", "\xb6\xde", "\x82\xa0", "\x81\x5b", "\x93\x8c"})
            : "";
    std::string sentence;
    while (sentence.size() < length)
        sentence += !character.empty() ? character : random.chance(70) ? "x" : "\x82\xa0";
    return sentence;
}

// Line and sentence ends, none, あ, a lead byte alone before the line break, メ B.
const Strings longSentenceEndings = {"\r\n",     "\n",       "\r",       "\0\r"s,        ".", "?",
                                     "\x81\x42", "\x82\xa0", "\x81\r\n", "\x83\x81\x42", "",  "y"};

// Generated texts reach block boundaries every blockSize bytes. The engine reads 256 KiB at a
// time and a zero byte counts as if it were not in the file, so a run of zero bytes before every
// blockSize bytes puts the engine's block boundaries there.
constexpr size_t blockSize = 8192;

std::string atBlockBoundaries(const std::string& text) {
    std::string file;
    for (size_t at = 0; at < text.size(); at += blockSize)
        file += std::string(256 * 1024 - blockSize, '\0') + text.substr(at, blockSize);
    return file;
}

// Sequences laid across a block boundary, which falls before their byte `split`: 。！, メ B,
// 0x81 characters before 0x81 B, 。 with zero bytes inside, 東京, ｶﾞ, a lead byte before CR or
// '.', line breaks and a tag.
// clang-format off
const std::vector<std::pair<std::string, size_t>> straddles = {
    {"\x81\x42", 1}, {"\x81\x49", 1}, {"\x83\x81\x42", 1}, {"\x83\x81\x42", 2}, {"\x81\x81\x42", 1},
    {"\x81\x81\x42", 2}, {"\x81\x81\x81\x42", 2}, {"\x81\0\x42"s, 1}, {"\x81\0\x42"s, 2},
    {"\x93\x8c\x8b\x9e", 1}, {"\x93\x8c\x8b\x9e", 3}, {"\xb6\xde", 1}, {"\x82\r\n", 1}, {"\x82.", 1},
    {"\r\n", 1}, {"\r\0\n"s, 1}, {"\n\r", 1}, {"<b>", 1}, {"\0\0\0\0\0\0\0\0"s, 4}};
// clang-format on

// A little over one, two or three blocks, with a straddling sequence at every block boundary.
std::string blockText(Random& random) {
    const size_t blocks = random.between(1, 3);
    const size_t length = blocks * blockSize + random.between(0, 60);
    std::string text = mixedText(random, length);
    text.resize(length);
    for (size_t boundary = blockSize; boundary <= blocks * blockSize; boundary += blockSize) {
        const auto& [sequence, split] = random.pick(straddles);
        if (boundary + sequence.size() - split <= text.size())
            text.replace(boundary - split, sequence.size(), sequence);
    }
    return atBlockBoundaries(text);
}

// A long sentence after a line break; one in four ends at the first block boundary, so that its
// last byte, its end or the byte too many is read with the next block.
std::string textNearTheSentenceLimit(Random& random) {
    const std::string body = longSentenceBody(random);
    const size_t before =
        random.chance(25) ? blockSize + random.between(-2, 1) - body.size() - 2 : random.below(300);
    std::string text = mixedText(random, before);
    text.resize(before);
    text += "\r\n" + body + random.pick(longSentenceEndings) + mixedText(random, random.below(200));
    return text.size() > blockSize ? atBlockBoundaries(text) : text;
}

// Short texts over few characters, so that user words occur often and overlap.
std::string wordsOf(Random& random, const Strings& letters, size_t length, int wordLength) {
    std::string text;
    while (text.size() < length) {
        for (int n = random.between(1, wordLength); n > 0; --n) text += random.pick(letters);
        text += random.chance(85) ? random.pick(separators) : random.pick(lineBreaks);
    }
    return text;
}

const Strings denseLetters = sjisWords(u8"A B X a b ABA 東 京 都 ヂ メ カ ｶ ﾞ ｰ ー 々 。");

std::string denseText(Random& random) {
    return wordsOf(random, denseLetters, random.below(400), 8);
}

std::string mixedTextUpTo1500Bytes(Random& random) {
    return mixedText(random, random.below(1500));
}

std::string pieceOf(Random& random, const std::string& text) {
    return text.empty() ? "" : text.substr(random.below(text.size()), random.between(1, 8));
}

// A listed word has no CR, LF, 0x1A or NUL: the lists are read in text mode.
void addListable(std::set<std::string>& list, const std::string& word) {
    if (!word.empty() && word.find_first_of("\r\n\x1a"s + '\0') == std::string::npos)
        list.insert(word);
}

// User words as a user registers them from the rows or types them: pieces of the text, which may
// start at a second byte or end at a lead byte, blanks, converted forms, and words of the same
// length as others.
std::string userWord(Random& random, const std::string& text, const std::set<std::string>& sofar) {
    const int roll = random.below(100);
    if (roll < 40) return pieceOf(random, text);
    if (roll < 55) return random.pick(words);
    if (roll < 62) return random.pick(Strings{" ", "  ", "A ", " A", "A B", " \xb6"});
    if (roll < 70) return pieceOf(random, text) + random.pick(leadBytes);
    if (roll < 78) return reference::toFullWidthKana(pieceOf(random, text));
    if (roll < 84 || sofar.empty()) return reference::toUpperCase(pieceOf(random, text));
    std::string sameLength = *std::next(sofar.begin(), random.below(sofar.size()));
    sameLength[random.below(sameLength.size())] = random.pick(std::vector<char>{'A', 'B', ' '});
    return sameLength;
}

struct Case {
    std::string text;
    RunCase run;
};

// Whether the word's last byte ends a character rather than being a lead byte alone.
bool endsWithWholeCharacter(const std::string& word) {
    auto isLead = [](unsigned char b) {
        return (b >= 0x81 && b <= 0x9f) || (b >= 0xe0 && b <= 0xfc);
    };
    size_t at = 0;
    while (at + 1 < word.size()) at += isLead(word[at]) ? 2 : 1;
    return at == word.size() || !isLead(word[at]);
}

// With `wholeUserWords`, no user word holds a blank or ends with a lead byte alone.
Case keywordCase(Random& random, std::string text, int mostUserWords, bool wholeUserWords = false) {
    KeywordRunOptions o;
    for (int& least : o.minBytes)
        least = random.pick(std::vector{0, 0, 1, 2, 3, 4, 6, 8, -1, INT32_MIN});
    o.minimumCount = random.pick(std::vector{0, 1, 1, 2, 3, 5, -1});
    o.rows = random.chance(85) ? random.between(0, 50) : random.between(-3, -1);
    o.toFullWidth = random.chance(50), o.toUpper = random.chance(50);
    o.englishMode = random.chance(50);
    std::set<std::string> userWords, excludedWords;
    for (int n = random.between(0, mostUserWords); n > 0; --n)
        addListable(userWords, userWord(random, text, userWords));
    if (wholeUserWords)
        for (auto word = userWords.begin(); word != userWords.end();)
            word = word->find(' ') == std::string::npos && endsWithWholeCharacter(*word)
                       ? std::next(word)
                       : userWords.erase(word);
    for (const std::string& word : userWords)
        if (random.chance(25)) excludedWords.insert(word);
    for (int n = random.between(0, 3); n > 0; --n)
        addListable(excludedWords, random.chance(50) ? pieceOf(random, text) : random.pick(words));
    o.userWords.assign(userWords.begin(), userWords.end());
    o.excludedWords.assign(excludedWords.begin(), excludedWords.end());
    return {std::move(text), {false, std::move(o), ""}};
}

// Keywords as the rows hand them over: pieces of the text, converted or not, words, half a
// character, and the empty keyword. The keyword box holds no zero byte.
Case searchCase(Random& random, std::string text) {
    RunCase c{true, {}, ""};
    c.options.toFullWidth = random.chance(50), c.options.toUpper = random.chance(50);
    const int roll = random.below(100);
    c.keyword = roll < 10   ? ""
                : roll < 50 ? pieceOf(random, text)
                : roll < 60 ? reference::toFullWidthKana(pieceOf(random, text))
                : roll < 70 ? reference::toUpperCase(pieceOf(random, text))
                : roll < 90 ? random.pick(words)
                            : doubleByteCharacter(random).substr(random.below(2));
    c.keyword.erase(std::remove(c.keyword.begin(), c.keyword.end(), '\0'), c.keyword.end());
    return {std::move(text), std::move(c)};
}

class DifferentialTest : public testing::Test {
  protected:
    // Whether both agree on case c; when not, the text is kept in differential-failure.txt and
    // the start of both outcomes is shown.
    testing::AssertionResult agree(const Case& c) {
        const std::string target = folder.file("target.txt");
        writeBytes(target, c.text);
        auto outcome = [&](auto run, const char* output) {
            return outcomeOf(run, c.run, target, folder.file(output));
        };
        const std::string expected =
            outcome([](auto&&... a) { return reference::run(a...); }, "reference.out");
        const std::string actual = outcome([](auto&&... a) { return run(a...); }, "engine.out");
        if (expected == actual) return testing::AssertionSuccess();
        writeBytes("differential-failure.txt", c.text);
        return testing::AssertionFailure() << "keyword \"" << c.run.keyword << "\", reference:\n"
                                           << expected.substr(0, 2000) << "\nengine:\n"
                                           << actual.substr(0, 2000);
    }

    TemporaryFolder folder;
};

// Targets that users point the engine at by mistake: nothing but zero bytes, sentences without
// a line break, lines of a megabyte, lead bytes up to and at the sentence limit, a full-width
// end and runs of zero bytes across the engine's block boundaries.
const Strings handMadeTargets = {
    "",
    std::string(600 * 1024, '\0'),
    std::string(1 << 20, '.'),
    std::string(1 << 20, 'a') + "\r\n",
    std::string(1023, '\x81'),
    std::string(1024, '\x81'),
    std::string(256 * 1024 - 1, 'y') + "\x81\x42z\n",
    std::string(128 * 1024 - 1, 'y') + "\r\n" + std::string(128 * 1024 - 1, 'y') + "\x81\x42z\n",
    "a\r" + std::string(600 * 1024, '\0') + "\nb." + std::string(70000, '\0'),
};

TEST_F(DifferentialTest, HandMadeTargetsAgree) {
    Random random(1);
    for (const std::string& text : handMadeTargets) {
        ASSERT_TRUE(agree(keywordCase(random, text, 4)));
        ASSERT_TRUE(agree(searchCase(random, text)));
    }
}

// Each family of keyword runs: its own seed, number of cases, text and most user words, and
// whether the user words are all of whole characters without blanks.
struct KeywordRunFamily {
    const char* name;
    std::uint32_t seed;
    int cases;
    std::string (*text)(Random&);
    int mostUserWords;
    bool wholeUserWords;
};

const KeywordRunFamily keywordRunFamilies[] = {
    {"mixed text", 2, 2500, mixedTextUpTo1500Bytes, 8, false},
    {"user and excluded words", 3, 3000, denseText, 14, false},
    {"user words of whole characters", 6, 1500, denseText, 14, true},
    {"across block boundaries", 4, 400, blockText, 8, false},
    {"near the sentence limit", 5, 600, textNearTheSentenceLimit, 8, false},
};

TEST_F(DifferentialTest, KeywordRunsAgree) {
    for (const KeywordRunFamily& family : keywordRunFamilies) {
        Random random(family.seed);
        for (int i = 0; i < family.cases; ++i) {
            const Case c = keywordCase(random, family.text(random), family.mostUserWords,
                                       family.wholeUserWords);
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

// Words of the classes that chain and of those that break a chain, run together, so that most
// sentences hold chains.
const Strings chainWords =
    sjisWords(u8"東京 都 消費 生活 センター ｾﾝﾀｰ ｶﾞｲﾄﾞ ﾊﾟﾝ AI ai Ab1 ＡＩ ａｂ１ ー ｰ 々 カ々 ヶ "
              u8"の 、 ・ ･ ｢ A-B ＡＢ・ ① α 髙");

std::string chainText(Random& random) {
    std::string text;
    for (int length = random.below(600); static_cast<int>(text.size()) < length;) {
        text += random.pick(chainWords);
        const int roll = random.below(100);
        if (roll < 6) text += random.pick(separators);
        if (roll >= 6 && roll < 10) text += random.pick(sentenceEnds);
        if (roll >= 10 && roll < 13) text += random.pick(lineBreaks);
    }
    return text;
}

// A chain that is a user word is left out: some user words are chains of the text.
TEST_F(DifferentialTest, CompoundRunsAgree) {
    Random random(8);
    for (int i = 0; i < 2000; ++i) {
        const int roll = random.below(100);
        std::string text = roll < 75   ? chainText(random)
                           : roll < 95 ? mixedTextUpTo1500Bytes(random)
                                       : blockText(random);
        Case c = keywordCase(random, std::move(text), 4);
        c.run.maxWords = random.between(2, 5);
        std::set<std::string> userWords(c.run.options.userWords.begin(),
                                        c.run.options.userWords.end());
        for (int n = random.between(0, 3); n > 0; --n)
            userWords.insert(random.pick(chainWords) + random.pick(chainWords));
        c.run.options.userWords.assign(userWords.begin(), userWords.end());
        ASSERT_TRUE(agree(c)) << "case " << i;
    }
}

} // namespace

// A run over several files equals the one-file runs of those that succeed, added up: the keyword
// run ranks the sums of their counts, the search writes their hits in order, each file named.
std::map<std::string, std::int64_t> countsInLog(const std::string& log) {
    std::map<std::string, std::int64_t> counts;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        const size_t colon = line.find(" : ");
        counts[line.substr(colon + 3, line.size() - colon - 4)] +=
            std::stoll(line.substr(0, colon));
    }
    return counts;
}

std::string rankedLog(const std::map<std::string, std::int64_t>& counts, int minimumCount) {
    std::vector<std::pair<std::int64_t, std::string>> ranked;
    for (const auto& [word, count] : counts)
        if (count >= std::max(minimumCount, 1)) ranked.push_back({count, word});
    std::sort(ranked.rbegin(), ranked.rend());
    std::string log;
    for (const auto& [count, word] : ranked) log += std::to_string(count) + " : " + word + "\r\n";
    return log;
}

// The files column of a ranking table, by word: a row is word,count,files, the word quoted where
// it holds a quote or a comma.
std::map<std::string, std::int64_t> filesInTable(const std::string& table) {
    std::map<std::string, std::int64_t> files;
    for (size_t start = table.find("\r\n") + 2, end; start < table.size(); start = end + 2) {
        end = table.find("\r\n", start);
        const std::string row = table.substr(start, end - start);
        const size_t filesAt = row.rfind(',');
        std::string word = row.substr(0, row.rfind(',', filesAt - 1));
        if (!word.empty() && word[0] == '"') {
            word = word.substr(1, word.size() - 2);
            for (size_t at = word.find("\"\""); at != std::string::npos;
                 at = word.find("\"\"", at + 1))
                word.erase(at, 1);
        }
        files[word] = std::stoll(row.substr(filesAt + 1));
    }
    return files;
}

TEST_F(DifferentialTest, SeveralFilesAddUpTheirOneFileRuns) {
    Random random(7);
    const std::string output = folder.file("output.txt");
    for (int i = 0; i < 150; ++i) {
        std::vector<TargetFile> files;
        std::map<std::string, std::int64_t> counts, filesOf;
        std::string hits;
        // User words from a text like the files', so that a word holds many of them; in half the
        // cases more than the 64 that a file marks in one 64-bit word.
        Case c =
            keywordCase(random, denseText(random), random.chance(50) ? 200 : 14, random.chance(50));
        const SearchRunOptions search{pieceOf(random, denseText(random)), c.run.options.toFullWidth,
                                      c.run.options.toUpper};
        KeywordRunOptions oneFile = c.run.options;
        oneFile.minimumCount = 0;
        for (int n = random.between(1, 5); n > 0; --n) {
            const std::string name = std::to_string(files.size()) + ".txt";
            files.push_back({folder.file(name), name});
            const int roll = random.below(100);
            // A long text has more words in a shard than the total takes from a job at a time.
            writeBytes(files.back().path, roll < 10   ? textNearTheSentenceLimit(random)
                                          : roll < 15 ? mixedText(random, 20000)
                                          : roll < 55 ? denseText(random)
                                                      : mixedTextUpTo1500Bytes(random));
            std::vector<RankingRow> rows;
            if (run(files.back().path.c_str(), output.c_str(), oneFile, rows) == RunResult::Done)
                for (const auto& [word, count] : countsInLog(readBytes(output))) {
                    counts[word] += count;
                    ++filesOf[word];
                }
            if (run(files.back().path.c_str(), output.c_str(), search) != RunResult::Done) continue;
            const std::string result = readBytes(output);
            const std::string fileHits = result.substr(45, result.size() - 45 - 43);
            if (!fileHits.empty()) hits += "// " + name + " //\r\n\r\n" + fileHits;
        }
        std::vector<RankingRow> rows;
        std::vector<FileOutcome> outcomes;
        c.run.options.jobs = random.between(1, 4);
        // The lists are applied another way where the files of each word are written.
        const bool withTable = random.chance(50);
        if (withTable) {
            c.run.options.csvPath = folder.file("ranking.csv");
            c.run.options.csvEncoding = CsvEncoding::ShiftJis;
        }
        ASSERT_EQ(run(files, output.c_str(), c.run.options, rows, outcomes), RunResult::Done);
        const std::string log = rankedLog(counts, c.run.options.minimumCount);
        ASSERT_EQ(readBytes(output), log) << "case " << i;
        ASSERT_EQ(rows.size(),
                  std::min<size_t>(std::clamp(c.run.options.rows, 0, 50), countsInLog(log).size()));
        if (withTable) {
            for (const auto& [word, filesCounted] : filesInTable(readBytes(c.run.options.csvPath)))
                ASSERT_EQ(filesCounted, filesOf[word]) << word;
        }
        SearchRunOptions several = search;
        several.jobs = random.between(1, 4);
        ASSERT_EQ(run(files, output.c_str(), several, outcomes), RunResult::Done);
        const std::string result = readBytes(output);
        ASSERT_EQ(result.substr(45, result.size() - 45 - 43), hits) << "case " << i;
    }
}
