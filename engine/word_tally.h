#pragma once

#include "user_word_index.h"
#include "word_table.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The user words and the excluded words of a keyword run, applied to the counts of the words as
// they were cut. A word's outcome depends only on the word and counts are additive, so they are
// applied once per distinct word of a file, multiplied by its count: user words are counted where
// they occur inside a word, a word that is itself a user word is counted only as that, and
// excluded words are never counted. Once made it is only read, by any number of threads at once.
class WordTally {
  public:
    // Takes the lists over: the tally needs them in its own form, and the caller no longer does.
    WordTally(std::vector<std::string>& userWords, std::vector<std::string>& excludedWords,
              std::size_t sentenceLimit);
    WordTally(const WordTally&) = delete;
    WordTally& operator=(const WordTally&) = delete;

    // Turns the counts of one file's words as cut into its tally, on two threads at once when
    // `onTwoThreads`. Without lists every word counts as itself.
    void apply(WordTable& counts, bool onTwoThreads) const;

  private:
    struct UserWord {
        int length;
        std::string word;
    };
    // What applying the lists to a share of the words needs of its own.
    struct Expansion {
        std::vector<std::int64_t> userWordCounts; // what each user word adds, by walk position
        std::vector<size_t> found; // the walk positions of user words that may occur in a word
        std::string blankedWord;   // the word with counted user words blanked
    };

    void prepareUserWords();
    void collectUserWordsIn(std::string_view word, std::vector<size_t>& found) const;
    bool registerCandidate(std::string_view word, std::int64_t occurrences,
                           Expansion& expansion) const;
    bool isExcluded(std::string_view word) const { return excludedWords.countOf(word) != 0; }

    std::vector<UserWord> userWordsByLength; // in walk order: longest first
    UserWordIndex userWordIndex;             // the user words by walk position
    std::vector<size_t> spacedUserWords;     // positions of user words that hold a space
    WordTable excludedWords;
    int maxOccurrencesPerUserWord; // see the constructor
};
