#include "word_tally.h"

#include "parallel_work.h"
#include "shift_jis.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
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
    while (std::uint64_t{1} << positionBits <= userWordsByLength.size()) ++positionBits;
    positionsInNote = 30 / positionBits;
}

void WordTally::apply(WordTable& counts, bool onTwoThreads, Scratch* scratches) const {
    std::vector<Scratch*> threads = {&scratches[0]};
    if (onTwoThreads) threads.push_back(&scratches[1]);
    applyToShards(&counts, 1, threads);
}

void WordTally::apply(WordShards& total, size_t shards,
                      const std::vector<Scratch*>& scratches) const {
    applyToShards(total.data(), shards, scratches);
}

// Each scratch gathers what the user words found in its shares add, and those are added once all
// shares are done: only the user words found, so that a file costs what its words cost, not what
// the lists do.
void WordTally::applyToShards(WordTable* shards, size_t shardCount,
                              const std::vector<Scratch*>& scratches) const {
    if (!hasLists()) return;
    for (Scratch* scratch : scratches) scratch->userWordCounts.resize(userWordsByLength.size());
    forEachInParallel(2 * shardCount, static_cast<int>(scratches.size()),
                      [&](size_t share, size_t thread) {
                          Scratch& scratch = *scratches[thread];
                          shards[share / 2].updateCounts(
                              share % 2, 2, [&](std::string_view word, std::int64_t count) {
                                  const bool countsAsItself = registerCandidate(word, scratch);
                                  for (std::uint32_t position : scratch.foundUserWords)
                                      addToUserWord(position, countPart(count), scratch);
                                  return countsAsItself ? count : 0;
                              });
                      });
    addUserWords(shards, shardCount, scratches);
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

// What one occurrence of a word adds to the tally: the walk position of each occurrence of a user
// word in it, in foundUserWords. User words are found inside the word, each occurrence blanked
// before the next search so that nothing is counted twice; a word that is itself a user word is
// counted only as that user word. Returns whether the word counts as itself.
bool WordTally::registerCandidate(std::string_view word, Scratch& scratch) const {
    scratch.occurrences.clear();
    scratch.foundUserWords.clear();
    userWordIndex.collectIn(word, walkFromEveryByte, scratch.occurrences);
    bool wholeWordIsUserWord = takesOccurrencesAsFound(word) ? countOccurrences(word, scratch)
                                                             : countBySearching(word, scratch);
    return !wholeWordIsUserWord && !isExcluded(word);
}

// Where every user word ends with a whole character and none that fits in the word holds a space,
// blanking an occurrence keeps the character boundaries around it and makes no other occurrence
// appear: each search of the blanked word finds the leftmost occurrence of the walk that overlaps
// none blanked before. The blanks of a word of up to 64 bytes are the bits of one number.
bool WordTally::takesOccurrencesAsFound(std::string_view word) const {
    return !walkFromEveryByte && word.size() <= 64 && word.size() < shortestSpacedUserWord;
}

bool WordTally::countOccurrences(std::string_view word, Scratch& scratch) const {
    std::vector<UserWordOccurrence>& found = scratch.occurrences;
    if (found.size() > 1) // in walk order, each user word's from the left
        std::sort(found.begin(), found.end(),
                  [](const UserWordOccurrence& a, const UserWordOccurrence& b) {
                      return a.number != b.number ? a.number < b.number : a.start < b.start;
                  });
    std::uint64_t blanked = 0;
    bool wholeWordIsUserWord = false;
    for (const UserWordOccurrence& occurrence : found) {
        const size_t length = occurrence.length;
        const std::uint64_t bytes =
            (length == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << length) - 1)
            << occurrence.start;
        if (blanked & bytes) continue;
        blanked |= bytes;
        wholeWordIsUserWord = wholeWordIsUserWord || length == word.size();
        scratch.foundUserWords.push_back(occurrence.number);
    }
    return wholeWordIsUserWord;
}

bool WordTally::countBySearching(std::string_view word, Scratch& scratch) const {
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
            scratch.foundUserWords.push_back(static_cast<std::uint32_t>(position));
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

// A note: bit 0 tells whether the word counts as itself. With bit 31 set, bits 1 to 30 are where
// the user words found in it are kept in the store (their number, then their walk positions);
// otherwise bits 1 to 30 hold each position + 1 in a field of positionBits, from the lowest, up to
// the first field of 0. With fewer than 16,384 user words, a note holds two.
namespace {
constexpr std::uint32_t countsAsItselfNote = 1;
constexpr std::uint32_t storedNote = std::uint32_t{1} << 31;
constexpr std::uint32_t mostStored = storedNote / 2; // so that bits 1 to 30 hold where
} // namespace

void WordTally::prepareForNotes(Scratch& scratch) const {
    scratch.userWordCounts.resize(userWordsByLength.size());
    scratch.filesOf.assign(userWordsByLength.size(), 0);
}

std::uint32_t WordTally::noteOf(std::string_view word, std::vector<std::uint32_t>& store,
                                Scratch& scratch) const {
    const std::uint32_t note = registerCandidate(word, scratch) ? countsAsItselfNote : 0;
    const std::vector<std::uint32_t>& found = scratch.foundUserWords;
    if (found.size() <= positionsInNote) {
        std::uint32_t fields = 0;
        for (size_t i = 0; i < found.size(); ++i) fields |= (found[i] + 1) << (i * positionBits);
        return note | fields << 1;
    }
    if (store.size() + found.size() >= mostStored) throw std::length_error("notes full");
    const std::uint32_t at = static_cast<std::uint32_t>(store.size());
    store.push_back(static_cast<std::uint32_t>(found.size()));
    store.insert(store.end(), found.begin(), found.end());
    return note | storedNote | at << 1;
}

template <class Visit>
void WordTally::forEachUserWordOf(std::uint32_t note, const std::vector<std::uint32_t>& store,
                                  Visit visit) const {
    std::uint32_t value = (note & ~storedNote) >> 1;
    if (note & storedNote) {
        for (std::uint32_t i = value + 1; i <= value + store[value]; ++i) visit(store[i]);
        return;
    }
    const auto field = static_cast<std::uint32_t>((std::uint64_t{1} << positionBits) - 1);
    for (; value != 0; value >>= positionBits) visit((value & field) - 1);
}

void WordTally::markUserWordsOf(std::uint32_t note, const std::vector<std::uint32_t>& store,
                                FileMarks& marks) const {
    forEachUserWordOf(note, store, [&](std::uint32_t position) {
        marks[position / 64] |= std::uint64_t{1} << (position % 64);
    });
}

void WordTally::countMarks(FileMarks& marks, Scratch& scratch) {
    for (size_t i = 0; i < marks.size(); ++i) {
        for (std::uint64_t bits = marks[i]; bits != 0; bits &= bits - 1)
            ++scratch.filesOf[i * 64 + static_cast<size_t>(__builtin_ctzll(bits))];
        marks[i] = 0;
    }
}

// Each word's count goes to the user words found in it and stays its own only where it counts as
// itself, a shard of the total on each thread; then each user word found gets its count and the
// files that found it.
void WordTally::applyNotes(WordShards& total, size_t shards, const NoteStores& stores,
                           const std::vector<Scratch*>& scratches) const {
    forEachInParallel(shards, static_cast<int>(scratches.size()), [&](size_t shard, size_t thread) {
        Scratch& scratch = *scratches[thread];
        total[shard].updateNotedCounts([&](std::int64_t count, std::uint32_t note) {
            forEachUserWordOf(note, stores[shard], [&](std::uint32_t position) {
                addToUserWord(position, countPart(count), scratch);
            });
            return note & countsAsItselfNote ? count : 0;
        });
        total[shard].dropNotes();
    });
    addUserWords(total.data(), shards, scratches);
}

// A user word counts the files that found it only where the lists were noted.
void WordTally::addUserWords(WordTable* shards, size_t shardCount,
                             const std::vector<Scratch*>& scratches) const {
    Scratch& sum = *scratches[0];
    for (size_t thread = 1; thread < scratches.size(); ++thread) {
        Scratch& scratch = *scratches[thread];
        for (size_t position : scratch.countedUserWords) {
            addToUserWord(position, scratch.userWordCounts[position], sum);
            scratch.userWordCounts[position] = 0;
        }
        scratch.countedUserWords.clear();
    }
    for (size_t position : sum.countedUserWords) {
        const std::string& userWord = userWordsByLength[position].word;
        std::int64_t files = 0;
        for (const Scratch* scratch : scratches)
            if (!scratch->filesOf.empty()) files += scratch->filesOf[position];
        if (!isExcluded(userWord)) {
            WordTable& shard = shards[shardOfWord(userWord, shardCount)];
            shard.add(userWord, (sum.userWordCounts[position] | files << filesShift) -
                                    shard.countOf(userWord));
        }
        sum.userWordCounts[position] = 0;
    }
    sum.countedUserWords.clear();
}
