#include "keyword_run.h"

#include "both_halves.h"
#include "shift_jis.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// Enough for every occurrence in the longest word; it also ends the walk for a user word made of
// spaces, which would otherwise be found again in its own blanks.
constexpr int maxOccurrencesPerUserWord = static_cast<int>(maxSentenceBytes) + 1;

} // namespace

// The lists are taken over: the run needs them in its own form, and the caller no longer does.
// A word list never holds an empty word; an empty one would match everywhere.
void KeywordRun::addUserWords(std::vector<std::string>& words) {
    userWordsByLength.reserve(words.size());
    for (std::string& word : words)
        if (!word.empty())
            userWordsByLength.push_back({static_cast<int>(word.size()), std::move(word)});
    std::vector<std::string>().swap(words);
}

void KeywordRun::addExcludedWords(std::vector<std::string>& words) {
    for (const std::string& word : words)
        if (!isExcluded(word)) excludedWords.add(word, 1);
    std::vector<std::string>().swap(words);
}

// Turns the counts of the words as cut into the tally. Without lists every word counts as itself.
// The words are expanded in two halves at once; each half gathers what the user words found in it
// add, and both are added once the halves are done.
void KeywordRun::expandCandidates() {
    if (userWordsByLength.empty() && excludedWords.size() == 0) return;
    prepareUserWords();
    Expansion halves[2];
    doBothHalves([&](int half) {
        Expansion& expansion = halves[half];
        expansion.userWordCounts.assign(userWordsByLength.size(), 0);
        wordCounts.updateCounts(half, 2, [&](std::string_view word, std::int64_t count) {
            return registerCandidate(word, count, expansion) ? count : 0;
        });
    });
    userWordIndex = UserWordIndex(); // given back before the ranking takes its own memory
    for (const Expansion& half : halves)
        for (size_t position = 0; position < userWordsByLength.size(); ++position)
            if (half.userWordCounts[position] != 0 && !isExcluded(userWordsByLength[position].word))
                wordCounts.add(userWordsByLength[position].word, half.userWordCounts[position]);
}

// Puts the user words in walk order (longest first; of equal length, the one added last first)
// and indexes them, so that each word is searched only for the user words that occur in it.
void KeywordRun::prepareUserWords() {
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
void KeywordRun::collectUserWordsIn(std::string_view word, std::vector<size_t>& found) const {
    found.clear();
    userWordIndex.collectIn(word, found);
    for (size_t position : spacedUserWords)
        if (userWordsByLength[position].word.size() <= word.size()) found.push_back(position);
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
}

// What one occurrence of a word adds to the tally, applied `occurrences` times. User words are
// found inside the word, each occurrence blanked before the next search so that nothing is
// counted twice; a word that is itself a user word is counted only as that user word. Returns
// whether the word counts as itself.
bool KeywordRun::registerCandidate(std::string_view word, std::int64_t occurrences,
                                   Expansion& expansion) const {
    collectUserWordsIn(word, expansion.found);
    bool wholeWordIsUserWord = false;
    if (!expansion.found.empty()) {
        std::string& blankedWord = expansion.blankedWord;
        blankedWord.assign(word);
        for (size_t position : expansion.found) {
            const UserWord& user = userWordsByLength[position];
            if (user.length > static_cast<std::int64_t>(word.size())) continue;
            for (int repeat = 0; repeat < maxOccurrencesPerUserWord; ++repeat) {
                size_t at = findOnCharBoundary(blankedWord, user.word);
                if (at == std::string::npos) break;
                std::memset(&blankedWord[at], ' ', user.word.size());
                if (user.length == static_cast<std::int64_t>(word.size()))
                    wholeWordIsUserWord = true;
                expansion.userWordCounts[position] += occurrences;
            }
        }
    }
    return !wholeWordIsUserWord && !isExcluded(word);
}
