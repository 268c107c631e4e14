#include "keyword_engine.h"

#include "shift_jis.h"

#include <algorithm>
#include <cstring>

namespace {

// Enough for every occurrence in the longest word; it also ends the walk for a user word made of
// spaces, which would otherwise be found again in its own blanks.
constexpr int maxOccurrencesPerUserWord = 1025;

} // namespace

void KeywordEngine::addUserWord(int length, const char* word) {
    // A word list never holds an empty word; an empty one would match everywhere.
    if (*word == '\0') return;
    userWordsByLength.push_back({length, word});
}

void KeywordEngine::addExcludedWord(const char* word) {
    if (!isExcluded(word)) excludedWords.add(word, 1);
}

// Turns the counts of the words as cut into the tally. Without lists every word counts as itself.
void KeywordEngine::expandCandidates() {
    if (userWordsByLength.empty() && excludedWords.size() == 0) return;
    prepareUserWords();
    wordCounts.updateCounts([this](std::string_view word, std::int64_t count) {
        return registerCandidate(word, count) ? count : 0;
    });
    userWordCounts.forEachWord(
        [this](std::string_view word, std::int64_t count) { wordCounts.add(word, count); });
    // Their memory is given back before the ranking takes its own.
    userWordCounts = WordTable();
    userWordIndex = UserWordIndex();
}

// Puts the user words in walk order (longest first; of equal length, the one added last first)
// and indexes them, so that each word is searched only for the user words that occur in it.
void KeywordEngine::prepareUserWords() {
    std::stable_sort(userWordsByLength.begin(), userWordsByLength.end(),
                     [](const UserWord& a, const UserWord& b) { return a.length < b.length; });
    std::reverse(userWordsByLength.begin(), userWordsByLength.end());
    std::vector<std::string_view> words;
    words.reserve(userWordsByLength.size());
    for (size_t position = 0; position < userWordsByLength.size(); ++position) {
        words.push_back(userWordsByLength[position].word);
        if (words.back().find(' ') != std::string_view::npos) spacedUserWords.push_back(position);
    }
    userWordIndex.build(words);
}

// The walk positions of the user words that may be found in the word: those that occur in it
// anywhere, and those that hold a space, which blanking can make appear.
void KeywordEngine::collectUserWordsIn(std::string_view word) {
    userWordsFound.clear();
    userWordIndex.collectIn(word, userWordsFound);
    for (size_t position : spacedUserWords)
        if (userWordsByLength[position].word.size() <= word.size())
            userWordsFound.push_back(position);
    std::sort(userWordsFound.begin(), userWordsFound.end());
    userWordsFound.erase(std::unique(userWordsFound.begin(), userWordsFound.end()),
                         userWordsFound.end());
}

// What one occurrence of a word adds to the tally, applied `occurrences` times. User words are
// found inside the word, each occurrence blanked before the next search so that nothing is
// counted twice; a word that is itself a user word is counted only as that user word. Returns
// whether the word counts as itself.
bool KeywordEngine::registerCandidate(std::string_view word, std::int64_t occurrences) {
    bool wholeWordIsUserWord = false;
    if (!userWordsByLength.empty()) {
        collectUserWordsIn(word);
        blankedWord.assign(word);
        for (size_t position : userWordsFound) {
            const UserWord& user = userWordsByLength[position];
            if (user.length > static_cast<std::int64_t>(word.size())) continue;
            for (int repeat = 0; repeat < maxOccurrencesPerUserWord; ++repeat) {
                size_t at = findOnCharBoundary(blankedWord, user.word);
                if (at == std::string::npos) break;
                std::memset(&blankedWord[at], ' ', user.word.size());
                if (user.length == static_cast<std::int64_t>(word.size()))
                    wholeWordIsUserWord = true;
                if (!isExcluded(user.word)) userWordCounts.add(user.word, occurrences);
            }
        }
    }
    return !wholeWordIsUserWord && !isExcluded(word);
}
