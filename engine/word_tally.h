#pragma once

#include "user_word_index.h"
#include "word_table.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The user words and the excluded words of a keyword run, applied to the counts of the words as
// they were cut. A word's outcome depends only on the word and counts are additive, so they are
// applied once per distinct word, multiplied by its count: of the one file's table, or of the
// total of a run over several files. User words are counted where they occur inside a word, a
// word that is itself a user word is counted only as that, and excluded words are never counted.
// Once made it is only read, by any number of threads at once.
class WordTally {
  public:
    // What applying the lists to a share of the words needs of its own: a thread keeps it from
    // one file to the next.
    struct Scratch {
        std::vector<std::int64_t> userWordCounts;    // what each user word adds, by walk position
        std::vector<size_t> countedUserWords;        // the positions whose count is not 0
        std::vector<std::uint32_t> foundUserWords;   // in a word: a position for each occurrence
        std::vector<std::int64_t> filesOf;           // by position: the files that found it
        std::vector<UserWordOccurrence> occurrences; // of user words in a word, as the walk found
        std::vector<size_t> found; // the walk positions of user words that may occur in a word
        std::string blankedWord;   // the word with counted user words blanked
    };

    // Takes the lists over: the tally needs them in its own form, and the caller no longer does.
    WordTally(std::vector<std::string>& userWords, std::vector<std::string>& excludedWords,
              std::size_t sentenceLimit);
    WordTally(const WordTally&) = delete;
    WordTally& operator=(const WordTally&) = delete;

    // Turns the counts of words as cut into their tally. Of one file's table: in two shares, on
    // two threads at once with a scratch each when `onTwoThreads`, else with the first scratch. Of
    // the total of a run over several files: in two shares of each of its shards, on a thread for
    // each scratch. Without lists every word counts as itself.
    void apply(WordTable& counts, bool onTwoThreads, Scratch* scratches) const;
    void apply(WordShards& total, size_t shards, const std::vector<Scratch*>& scratches) const;

    // Where the files that found each user word are counted, a run over several files applies the
    // lists through notes instead: as a word first enters the total, noteOf gives what the lists
    // make of it, which the total keeps beside it (what does not fit goes to `store`, kept with
    // the total's shard). Each word added from a file takes its note, and markUserWordsOf marks
    // the user words found in it for the file; once all its words are added, countMarks counts the
    // file once for each user word it marked. Once all files are added, applyNotes turns the total
    // into the run's tally, with the scratches of the jobs, each prepared with prepareForNotes.
    using FileMarks = std::vector<std::uint64_t>; // a bit per user word, by walk position
    bool hasLists() const { return !userWordsByLength.empty() || excludedWords.size() != 0; }
    void prepareForNotes(Scratch& scratch) const;
    FileMarks noMarks() const { return FileMarks((userWordsByLength.size() + 63) / 64); }
    std::uint32_t noteOf(std::string_view word, std::vector<std::uint32_t>& store,
                         Scratch& scratch) const;
    void markUserWordsOf(std::uint32_t note, const std::vector<std::uint32_t>& store,
                         FileMarks& marks) const;
    static void countMarks(FileMarks& marks, Scratch& scratch);
    using NoteStores = std::array<std::vector<std::uint32_t>, maxShards>;
    void applyNotes(WordShards& total, size_t shards, const NoteStores& stores,
                    const std::vector<Scratch*>& scratches) const;

  private:
    struct UserWord {
        int length;
        std::string word;
    };

    void prepareUserWords();
    bool registerCandidate(std::string_view word, Scratch& scratch) const;
    bool takesOccurrencesAsFound(std::string_view word) const;
    bool countOccurrences(std::string_view word, Scratch& scratch) const;
    bool countBySearching(std::string_view word, Scratch& scratch) const;
    template <class Visit>
    void forEachUserWordOf(std::uint32_t note, const std::vector<std::uint32_t>& store,
                           Visit visit) const;
    void applyToShards(WordTable* shards, size_t shardCount,
                       const std::vector<Scratch*>& scratches) const;
    void addUserWords(WordTable* shards, size_t shardCount,
                      const std::vector<Scratch*>& scratches) const;
    void collectUserWordsIn(std::string_view word, Scratch& scratch) const;
    void addToUserWord(size_t position, std::int64_t occurrences, Scratch& scratch) const;
    bool isExcluded(std::string_view word) const { return excludedWords.countOf(word) != 0; }

    std::vector<UserWord> userWordsByLength; // in walk order: longest first
    UserWordIndex userWordIndex;             // the user words by walk position
    std::vector<size_t> spacedUserWords;     // positions of user words that hold a space
    size_t shortestSpacedUserWord = SIZE_MAX;
    bool walkFromEveryByte = false; // some user word ends inside a character
    int positionBits = 1;           // that hold 1 + any walk position, in a note
    size_t positionsInNote = 0;     // as many as fit a note's 30 bits
    WordTable excludedWords;
    int maxOccurrencesPerUserWord; // see the constructor
};
