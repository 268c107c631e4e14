#include "keyword_engine.h"

#include "shift_jis.h"

#include <algorithm>
#include <cstring>

namespace {

// Enough for every occurrence in the longest word; it also ends the walk for a user word made of
// spaces, which would otherwise be found again in its own blanks.
constexpr int maxOccurrencesPerUserWord = 1025;

// In the user-word index: the bytes begin a user word but are none.
constexpr std::int64_t prefixOnly = -1;

// Where the first one or two bytes of a user word are flagged: a small table that settles most
// positions of a word without a lookup in the index.
size_t beginningIndex(std::string_view oneOrTwoBytes) {
    size_t first = static_cast<unsigned char>(oneOrTwoBytes[0]);
    return oneOrTwoBytes.size() == 1
               ? first
               : 256 + (first << 8 | static_cast<unsigned char>(oneOrTwoBytes[1]));
}

} // namespace

void KeywordEngine::addUserWord(int length, const char* word) {
    // A word list never holds an empty word; an empty one would match everywhere.
    if (*word == '\0') return;
    userWordsByLength.push_back({length, word});
}

void KeywordEngine::addExcludedWord(const char* word) {
    if (!isExcluded(word)) excludedWords.add(word, 1);
}

// The word is counted with the rest of its block; one that does not lie in the block is copied.
void KeywordEngine::registerWord(std::string_view word, bool inBlock) {
    if (inBlock)
        filling->words.push_back(word);
    else
        filling->copiedWords.emplace_back(word);
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
}

// Puts the user words in walk order (longest first; of equal length, the one added last first)
// and indexes them and all their prefixes, so that each word is searched only for the user words
// that occur in it.
void KeywordEngine::prepareUserWords() {
    std::stable_sort(userWordsByLength.begin(), userWordsByLength.end(),
                     [](const UserWord& a, const UserWord& b) { return a.length < b.length; });
    std::reverse(userWordsByLength.begin(), userWordsByLength.end());
    for (size_t position = 0; position < userWordsByLength.size(); ++position) {
        const std::string& word = userWordsByLength[position].word;
        std::int64_t id = userWordIds.countOf(word);
        if (id == 0) {
            userWordPositions.emplace_back();
            id = static_cast<std::int64_t>(userWordPositions.size());
            userWordIds.add(word, id);
        }
        userWordPositions[id - 1].push_back(position);
        if (word.find(' ') != std::string::npos) spacedUserWords.push_back(position);
    }
    userWordBeginnings.assign(256 * 256 + 256, false);
    for (const UserWord& user : userWordsByLength) {
        std::string_view word = user.word;
        userWordBeginnings[beginningIndex(word.substr(0, 1))] = true;
        if (word.size() >= 2) userWordBeginnings[beginningIndex(word.substr(0, 2))] = true;
        for (size_t size = 1; size < word.size(); ++size)
            if (userWordIds.countOf(word.substr(0, size)) == 0)
                userWordIds.add(word.substr(0, size), prefixOnly);
    }
}

// The walk positions of the user words that may be found in the word: those that occur in it
// anywhere, and those that hold a space, which blanking can make appear.
void KeywordEngine::collectUserWordsIn(std::string_view word) {
    userWordsFound.clear();
    for (size_t start = 0; start < word.size(); ++start) {
        for (size_t size = 1; start + size <= word.size(); ++size) {
            if (size <= 2 && !userWordBeginnings[beginningIndex(word.substr(start, size))]) break;
            std::int64_t id = userWordIds.countOf(word.substr(start, size));
            if (id == 0) break; // no user word begins with these bytes
            if (id != prefixOnly)
                userWordsFound.insert(userWordsFound.end(), userWordPositions[id - 1].begin(),
                                      userWordPositions[id - 1].end());
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
