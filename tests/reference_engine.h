#pragma once

#include <cstdint>
#include <fstream>
#include <map>
#include <set>
#include <string>

// A second, deliberately plain implementation of the keyword engine. It follows the design step
// by step with standard containers and whole-string operations, and is used only by the tests to
// check the fast engine on generated input. Its interface mirrors KeywordEngine's so that one
// test driver can work both.
namespace reference {

std::string toFullWidthKana(const std::string& text);
std::string toUpperCase(const std::string& text);

class Engine {
  public:
    static constexpr int maxTopWords = 50;

    Engine(const char* outputPath, int minBytesHankakuEisuKigo, int minBytesHankakuKatakana,
           int minBytesZenkakuEisuKigo, int minBytesZenkakuHiragana, int minBytesZenkakuKatakana,
           int minBytesZenkakuKanji, int minimumCounts, int keywordCounts, int toDouble,
           int toUpper, int englishMode);
    Engine(const char* outputPath, const char* searchKeyword, int toDouble, int toUpper);

    void addUserWord(int length, const char* word);
    void addExcludedWord(const char* word);
    int run(const char* targetPath);
    void writeSearchHeader();
    void writeSearchFooter();

    std::int64_t lines() const { return lineCount; }

    std::string topWords[maxTopWords];
    std::int64_t topCounts[maxTopWords] = {};

  private:
    int scanSentences(const std::string& bytes);
    void processSentence(const std::string& sentence);
    static std::string stripTags(const std::string& sentence);

    void segmentSentence();
    int classOfSingleByte(unsigned char b) const;
    int minBytesFor(int charClass) const;
    void finishWord(int charClass, const std::string& word);
    void registerConvertedForm(const std::string& converted, const std::string& word);

    void registerWord(const std::string& word);
    bool isExcluded(const std::string& word) const { return excludedWords.count(word) != 0; }
    void countWord(const std::string& word) { ++wordCounts[word]; }

    void buildRanking();

    void matchSentence();
    void writeResultLine();

    void write(const std::string& bytes);

    int runKind;
    std::ofstream output;
    int minBytes[6] = {};
    int minimumCounts = 0;
    int keywordCounts = 0;
    int toDouble = 0;
    int toUpper = 0;
    int englishMode = 0;
    std::string searchKeyword;

    std::string sentenceText;
    int sentenceHit = 0;
    std::int64_t lineCount = 0;

    std::multimap<int, std::string> userWordsByLength;
    std::set<std::string> excludedWords;
    std::map<std::string, std::int64_t> wordCounts;
};

} // namespace reference
