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

void KeywordEngine::registerWord(std::string_view word) {
    candidateWords.add(word, 1);
}

void KeywordEngine::countWord(std::string_view word, std::int64_t occurrences) {
    wordCounts.add(word, occurrences);
}

void KeywordEngine::expandCandidates() {
    prepareUserWords();
    candidateWords.forEach(
        [this](std::string_view word, std::int64_t count) { registerCandidate(word, count); });
}

// Puts the user words in walk order (longest first; of equal length, the one added last first)
// and indexes them, so that each word is searched only for user words that can occur in it.
void KeywordEngine::prepareUserWords() {
    std::stable_sort(userWordsByLength.begin(), userWordsByLength.end(),
                     [](const UserWord& a, const UserWord& b) { return a.length < b.length; });
    std::reverse(userWordsByLength.begin(), userWordsByLength.end());
    for (size_t position = 0; position < userWordsByLength.size(); ++position) {
        const std::string& word = userWordsByLength[position].word;
        userWordPositions[word].push_back(position);
        userWordSizes.push_back(word.size());
        if (word.find(' ') != std::string::npos) spacedUserWords.push_back(position);
    }
    std::sort(userWordSizes.begin(), userWordSizes.end());
    userWordSizes.erase(std::unique(userWordSizes.begin(), userWordSizes.end()),
                        userWordSizes.end());
}

// The walk positions of the user words that may be found in the word: those that occur in it
// anywhere, and those that hold a space, which blanking can make appear.
void KeywordEngine::collectUserWordsIn(std::string_view word) {
    userWordsFound.clear();
    for (size_t start = 0; start < word.size(); ++start) {
        for (size_t size : userWordSizes) {
            if (size > word.size() - start) break;
            auto found = userWordPositions.find(word.substr(start, size));
            if (found != userWordPositions.end())
                userWordsFound.insert(userWordsFound.end(), found->second.begin(),
                                      found->second.end());
        }
    }
    for (size_t position : spacedUserWords)
        if (userWordsByLength[position].word.size() <= word.size())
            userWordsFound.push_back(position);
    std::sort(userWordsFound.begin(), userWordsFound.end());
    userWordsFound.erase(std::unique(userWordsFound.begin(), userWordsFound.end()),
                         userWordsFound.end());
}

// What one occurrence of a word adds to the tally, applied `occurrences` times. User words are
// found inside the word, each occurrence blanked before the next search so that nothing is
// counted twice; a word that is itself a user word is counted only as that user word.
void KeywordEngine::registerCandidate(std::string_view word, std::int64_t occurrences) {
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
                if (!isExcluded(user.word)) countWord(user.word, occurrences);
            }
        }
    }
    if (!wholeWordIsUserWord && !isExcluded(word)) countWord(word, occurrences);
}
