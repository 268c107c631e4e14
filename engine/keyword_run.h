#pragma once

#include "char_classes.h"
#include "counting_thread.h"
#include "keyword_engine.h"
#include "output_file.h"
#include "user_word_index.h"
#include "word_table.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// The state of one keyword run: it cuts the sentences of the target into words, counts them on a
// second thread (see CountingThread) while the next block is read, applies the user words and the
// excluded words, and ranks the words into keyword.log and the rows. Nothing is thrown out of
// run(); no thread is left after it.
class KeywordRun {
  public:
    explicit KeywordRun(KeywordRunOptions& options);
    KeywordRun(const KeywordRun&) = delete;
    KeywordRun& operator=(const KeywordRun&) = delete;

    RunResult run(std::FILE* target, OutputFile& log, std::vector<RankingRow>& rows,
                  RunFailure& failure);

    // What the sentence reader hands over.
    void startBlock(const char* blockText);
    void sentence(std::string_view text, bool inBlock, std::int64_t lines);
    bool endBlock();

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

    RunResult countWords(std::FILE* target, RunFailure& failure);

    // Segmentation (segmentation.cpp)
    // Inline in the loop of sentence(), which calls them for every word.
    inline void finishWord(CharClass charClass, std::string_view word);
    inline void registerWord(std::string_view word, bool inBlock);
    inline int minBytesFor(CharClass charClass) const;

    // Tally (word_tally.cpp)
    void addUserWords(std::vector<std::string>& words);
    void addExcludedWords(std::vector<std::string>& words);
    void expandCandidates();
    void prepareUserWords();
    void collectUserWordsIn(std::string_view word, std::vector<size_t>& found) const;
    bool registerCandidate(std::string_view word, std::int64_t occurrences,
                           Expansion& expansion) const;
    bool isExcluded(std::string_view word) const { return excludedWords.countOf(word) != 0; }

    // Ranking (ranking.cpp)
    void buildRanking(OutputFile& log, std::vector<RankingRow>& rows);
    void appendLogLine(std::int64_t count, std::string_view word, OutputFile& log);

    const KeywordRunOptions& options;
    const ByteClassTable& byteClassTable;

    // A word's outcome depends only on the word and counts are additive, so the scan counts each
    // distinct candidate word in wordCounts and expandCandidates applies the user words and the
    // excluded words once per distinct word at the end, multiplying by its count.
    WordTable wordCounts;
    CountingThread* counter = nullptr;       // while the target is read
    WordBatch batches[2];                    // the words of each of the reader's two blocks
    WordBatch* filling = nullptr;            // the one being cut into words
    bool sentenceInBlock = false;            // whether the sentence lies in the block or was copied
    std::vector<UserWord> userWordsByLength; // in walk order once prepared: longest first
    UserWordIndex userWordIndex;             // the user words by walk position
    std::vector<size_t> spacedUserWords;     // positions of user words that hold a space
    WordTable excludedWords;

    std::string convertedText; // scratch for conversions
    std::string line;          // scratch for composing log lines
};
