#include "word_tally.h"

#include "parallel_work.h"
#include "shift_jis.h"

#include <algorithm>
#include <cstring>
#include <utility>

// A word list never holds an empty word; an empty one would match everywhere. A word is as long as
// its sentence at most, so a user word occurs in it at most that many times; the bound also ends
// the walk for a user word made of spaces, which would otherwise be found again in its own blanks.
WordTally::WordTally(std::vector<std::string>& userWords, std::vector<std::string>& excludedWords,
                     std::size_t sentenceLimit)
    : maxOccurrencesPerUserWord(static_cast<int>(sentenceLimit) + 1) {
    userWordsByLength.reserve(userWords.size());
    for (std::string& word : userWords)
        if (!word.empty())
            userWordsByLength.push_back({static_cast<int>(word.size()), std::move(word)});
    std::vector<std::string>().swap(userWords);
    for (const std::string& word : excludedWords)
        if (!isExcluded(word)) this->excludedWords.add(word, 1);
    std::vector<std::string>().swap(excludedWords);
    if (!userWordsByLength.empty()) prepareUserWords();
}

// Each scratch gathers what the user words found in its shares add, and those are added once all
// shares are done: only the user words found, so that a file costs what its words cost, not what
// the lists do.
void WordTally::apply(WordTable& counts, bool onTwoThreads, Scratch* scratches) const {
    if (userWordsByLength.empty() && excludedWords.size() == 0) return;
    const int threads = onTwoThreads ? 2 : 1;
    forEachInParallel(2, threads, [&](size_t share, size_t thread) {
        Scratch& scratch = scratches[thread];
        scratch.userWordCounts.resize(userWordsByLength.size());
        counts.updateCounts(share, 2, [&](std::string_view word, std::int64_t count) {
            return registerCandidate(word, count, scratch) ? count : 0;
        });
    });
    for (int thread = 0; thread < threads; ++thread) {
        Scratch& scratch = scratches[thread];
        for (size_t position : scratch.countedUserWords) {
            const std::string& userWord = userWordsByLength[position].word;
            if (!isExcluded(userWord)) counts.add(userWord, scratch.userWordCounts[position]);
            scratch.userWordCounts[position] = 0;
        }
        scratch.countedUserWords.clear();
    }
}

namespace {

// Whether the word's last character is a lead byte alone: in a text such a word may end inside a
// character, so that blanking it moves the character boundaries after it.
bool endsInsideCharacter(std::string_view word) {
    size_t last = 0;
    for (size_t at = 0; at < word.size(); at += charLengthAt(word, at)) last = at;
    return !word.empty() && isLeadByte(static_cast<unsigned char>(word[last])) &&
           last + 1 == word.size();
}

} // namespace

// Puts the user words in walk order (longest first; of equal length, the one added last first)
// and indexes them, so that each word is searched only for the user words that occur in it.
void WordTally::prepareUserWords() {
    std::stable_sort(userWordsByLength.begin(), userWordsByLength.end(),
                     [](const UserWord& a, const UserWord& b) { return a.length < b.length; });
    std::reverse(userWordsByLength.begin(), userWordsByLength.end());
    std::vector<std::string_view> words;
    words.reserve(userWordsByLength.size());
    for (size_t position = 0; position < userWordsByLength.size(); ++position) {
        std::string_view word = userWordsByLength[position].word;
        words.push_back(word);
        if (word.find(' ') != std::string_view::npos) {
            spacedUserWords.push_back(position);
            shortestSpacedUserWord = std::min(shortestSpacedUserWord, word.size());
        }
        walkFromEveryByte = walkFromEveryByte || endsInsideCharacter(word);
    }
    userWordIndex.build(words);
}

// What one occurrence of a word adds to the tally, applied `occurrences` times. User words are
// found inside the word, each occurrence blanked before the next search so that nothing is
// counted twice; a word that is itself a user word is counted only as that user word. Returns
// whether the word counts as itself.
bool WordTally::registerCandidate(std::string_view word, std::int64_t occurrences,
                                  Scratch& scratch) const {
    scratch.occurrences.clear();
    userWordIndex.collectIn(word, walkFromEveryByte, scratch.occurrences);
    bool wholeWordIsUserWord = takesOccurrencesAsFound(word)
                                   ? countOccurrences(word, occurrences, scratch)
                                   : countBySearching(word, occurrences, scratch);
    return !wholeWordIsUserWord && !isExcluded(word);
}

// Where every user word ends with a whole character and none that fits in the word holds a space,
// blanking an occurrence keeps the character boundaries around it and makes no other occurrence
// appear: each search of the blanked word finds the leftmost occurrence of the walk that overlaps
// none blanked before. The blanks of a word of up to 64 bytes are the bits of one number.
bool WordTally::takesOccurrencesAsFound(std::string_view word) const {
    return !walkFromEveryByte && word.size() <= 64 && word.size() < shortestSpacedUserWord;
}

bool WordTally::countOccurrences(std::string_view word, std::int64_t occurrences,
                                 Scratch& scratch) const {
    std::vector<UserWordOccurrence>& found = scratch.occurrences;
    if (found.size() > 1) // in walk order; the walk found each user word's from the left
        std::stable_sort(found.begin(), found.end(),
                         [](const UserWordOccurrence& a, const UserWordOccurrence& b) {
                             return a.number < b.number;
                         });
    std::uint64_t blanked = 0;
    bool wholeWordIsUserWord = false;
    for (const UserWordOccurrence& occurrence : found) {
        const size_t length = userWordsByLength[occurrence.number].word.size();
        const std::uint64_t bytes =
            (length == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << length) - 1)
            << occurrence.start;
        if (blanked & bytes) continue;
        blanked |= bytes;
        wholeWordIsUserWord = wholeWordIsUserWord || length == word.size();
        addToUserWord(occurrence.number, occurrences, scratch);
    }
    return wholeWordIsUserWord;
}

bool WordTally::countBySearching(std::string_view word, std::int64_t occurrences,
                                 Scratch& scratch) const {
    collectUserWordsIn(word, scratch);
    if (scratch.found.empty()) return false;
    bool wholeWordIsUserWord = false;
    std::string& blankedWord = scratch.blankedWord;
    blankedWord.assign(word);
    for (size_t position : scratch.found) {
        const UserWord& user = userWordsByLength[position];
        if (user.length > static_cast<std::int64_t>(word.size())) continue;
        for (int repeat = 0; repeat < maxOccurrencesPerUserWord; ++repeat) {
            size_t at = findOnCharBoundary(blankedWord, user.word);
            if (at == std::string::npos) break;
            std::memset(&blankedWord[at], ' ', user.word.size());
            if (user.length == static_cast<std::int64_t>(word.size())) wholeWordIsUserWord = true;
            addToUserWord(position, occurrences, scratch);
        }
    }
    return wholeWordIsUserWord;
}

// The walk positions of the user words that may be found in the word: those that occur in it
// anywhere, and those that hold a space, which blanking can make appear.
void WordTally::collectUserWordsIn(std::string_view word, Scratch& scratch) const {
    std::vector<size_t>& found = scratch.found;
    found.clear();
    for (const UserWordOccurrence& occurrence : scratch.occurrences)
        found.push_back(occurrence.number);
    for (size_t position : spacedUserWords)
        if (userWordsByLength[position].word.size() <= word.size()) found.push_back(position);
    if (found.size() < 2) return; // as most words find
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
}

void WordTally::addToUserWord(size_t position, std::int64_t occurrences, Scratch& scratch) const {
    std::int64_t& userWordCount = scratch.userWordCounts[position];
    if (userWordCount == 0) scratch.countedUserWords.push_back(position);
    userWordCount += occurrences;
}
