#pragma once

#include "char_classes.h"
#include "counting_thread.h"
#include "user_word_index.h"
#include "word_table.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

enum RunKind { KeywordRun = 1, SearchRun = 2 };

enum RunResult {
    ResultOk = 0,
    ResultIoError = 1,
    ResultSearchError = 2,
    ResultKeywordError = 3,
    ResultBufferOverflow = 4,
};

// One run over one target file: a keyword run ranks the words of the file into keyword.log and
// topWords/topCounts; a search run writes every sentence that holds the keyword to result.txt.
// Nothing is thrown across this interface: every failure becomes a RunResult. A keyword run
// uses a second thread while it runs (see CountingThread and doBothHalves) and none after.
class KeywordEngine {
  public:
    static constexpr int maxTopWords = 50;

    KeywordEngine(const char* outputPath, int minBytesHankakuEisuKigo, int minBytesHankakuKatakana,
                  int minBytesZenkakuEisuKigo, int minBytesZenkakuHiragana,
                  int minBytesZenkakuKatakana, int minBytesZenkakuKanji, int minimumCounts,
                  int keywordCounts, int toDouble, int toUpper, int englishMode);
    KeywordEngine(const char* outputPath, const char* searchKeyword, int toDouble, int toUpper);
    ~KeywordEngine();
    KeywordEngine(const KeywordEngine&) = delete;
    KeywordEngine& operator=(const KeywordEngine&) = delete;

    void addUserWord(int length, const char* word);
    void addExcludedWord(const char* word);
    RunResult run(const char* targetPath);
    void writeSearchHeader();
    void writeSearchFooter();

    std::int64_t lines() const { return lineCount; }

    std::string topWords[maxTopWords];
    std::int64_t topCounts[maxTopWords] = {};

  private:
    struct UserWord {
        int length;
        std::string word;
    };
    // What expanding a share of the words needs of its own.
    struct Expansion {
        std::vector<std::int64_t> userWordCounts; // what each user word adds, by walk position
        std::vector<size_t> found; // the walk positions of user words that may occur in a word
        std::string blankedWord;   // the word with counted user words blanked
    };

    void openOutput(const char* outputPath);
    void writeOutput(std::string_view bytes);
    RunResult stopRun(RunResult code);

    // Run driver (keyword_engine.cpp)
    RunResult readTarget(std::FILE* target);
    RunResult scanSentences(char* data, size_t end, bool lastBlock, size_t& unfinishedStart);
    RunResult endSentence(std::string_view sentence, bool hasTag);
    void processSentence(std::string_view sentence, bool hasTag);
    std::string_view stripTags(std::string_view sentence);

    // Segmentation (segmentation.cpp)
    void segmentSentence();
    void finishWord(int charClass, std::string_view word);
    void registerWord(std::string_view word, bool inBlock);
    int minBytesFor(int charClass) const;

    // Tally (word_tally.cpp)
    void expandCandidates();
    void prepareUserWords();
    void collectUserWordsIn(std::string_view word, std::vector<size_t>& found) const;
    bool registerCandidate(std::string_view word, std::int64_t occurrences,
                           Expansion& expansion) const;
    bool isExcluded(std::string_view word) const { return excludedWords.countOf(word) != 0; }

    // Ranking (ranking.cpp)
    void buildRanking();
    void appendLogLine(std::int64_t count, std::string_view word);

    // Search (document_search.cpp)
    void matchSentence();
    void writeResultLine();

    RunKind runKind;
    const char* outputPath;
    std::FILE* output = nullptr;
    bool outputFailed = false;
    RunResult resultCode = ResultOk;

    int minBytes[6] = {};
    int minimumCounts = 0;
    int keywordCounts = 0;
    int toDouble = 0;
    int toUpper = 0;
    int englishMode = 0;
    const char* searchKeyword = "";

    // The sentence being processed, tag-stripped; it points into the block being read or into
    // strippedText.
    std::string_view sentenceText;
    std::string strippedText;
    unsigned char byteBeforeBlock = 0; // the byte of the file just before the block's first
    std::int64_t lineCount = 0;
    int sentenceHit = 0;

    // registerWord's outcome depends only on the word and counts are additive, so the scan
    // counts each distinct candidate word in wordCounts and expandCandidates applies the user
    // words and the excluded words once per distinct word at the end, multiplying by its count.
    WordTable wordCounts;
    WordBatch batches[2];                    // blocks of the target, read into each in turn
    WordBatch* filling = nullptr;            // the one being read and cut into words
    bool sentenceInBlock = false;            // whether sentenceText lies in the block or was copied
    std::vector<UserWord> userWordsByLength; // in walk order once prepared: longest first
    UserWordIndex userWordIndex;             // the user words by walk position
    std::vector<size_t> spacedUserWords;     // positions of user words that hold a space
    WordTable excludedWords;

    std::string convertedText;  // scratch for conversions
    std::string convertedText2; // scratch for the second conversion of a sentence
    std::string searchNeedle;   // the keyword in the form the sentences are compared in
    std::string line;           // scratch for composing output lines
};
