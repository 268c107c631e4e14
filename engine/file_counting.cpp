#include "file_counting.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <optional>

namespace {

// A shard's lock is held for a part of a file's words at a time. Up to 8,192 words are left for
// later (some 300 KiB with the long words' bytes), so that what waits stays small whatever the
// file: more would wait only in the largest files.
constexpr size_t partSize = 128;
constexpr size_t mostWaiting = 64 * partSize;

// What the total asks of a job as it adds a file's words to a shard, where the lists are noted in
// the total: what the lists make of a word new to the total, kept in the shard's store, and the
// user words found in each of the file's words, marked for the file.
class FileNotes final : public WordNotes {
  public:
    FileNotes(const WordTally& lists, std::vector<std::uint32_t>& store,
              WordTally::Scratch& scratch, WordTally::FileMarks& marks)
        : lists(lists), store(store), scratch(scratch), marks(marks) {}
    std::uint32_t noteOf(std::string_view word) override {
        return lists.noteOf(word, store, scratch);
    }
    void take(std::uint32_t note) override { lists.markUserWordsOf(note, store, marks); }

  private:
    const WordTally& lists;
    std::vector<std::uint32_t>& store;
    WordTally::Scratch& scratch;
    WordTally::FileMarks& marks;
};

// Adds a part of the words left in a shard, whose lock the caller holds.
void addPart(WordsToAdd& words, size_t shard, SharedTotal& total, WordTally::Scratch& scratch) {
    std::optional<FileNotes> notes;
    if (total.notedLists)
        notes.emplace(*total.notedLists, total.noteStores[shard], scratch, words.marks);
    words.added[shard] = total.shards[shard].addShard(*words.words, shard, words.added[shard],
                                                      partSize, notes ? &*notes : nullptr);
}

// Once a file's words are all added, it counts once for each user word found in it.
void finishFile(WordsToAdd& words, SharedTotal& total, WordTally::Scratch& scratch) {
    if (total.notedLists && words.words) WordTally::countMarks(words.marks, scratch);
    words.words = nullptr;
}

// Copies what is left of the file counted last to add it with the next: its long words' bytes lie
// in the table that the next file is counted in.
void keepWaiting(FileCounting& counting, size_t shards) {
    const WordsToAdd& left = counting.adding;
    ShardedWords& copy = counting.waitingWords;
    // The short words are added before the long ones.
    auto firstShortLeft = [&](size_t shard) {
        return std::min(left.added[shard], left.words->shortWords[shard].size());
    };
    auto firstLongLeft = [&](size_t shard) { return left.added[shard] - firstShortLeft(shard); };
    size_t bytes = 0;
    for (size_t shard = 0; shard < shards; ++shard)
        for (size_t i = firstLongLeft(shard); i < left.words->longWords[shard].size(); ++i)
            bytes += left.words->longWords[shard][i].word.size();
    counting.waitingBytes.resize(bytes);
    char* next = counting.waitingBytes.data();
    for (size_t shard = 0; shard < shards; ++shard) {
        const auto& shortWords = left.words->shortWords[shard];
        const auto& longWords = left.words->longWords[shard];
        const size_t firstLong = firstLongLeft(shard);
        copy.shortWords[shard].assign(shortWords.begin() + firstShortLeft(shard), shortWords.end());
        copy.longWords[shard].clear();
        for (size_t i = firstLong; i < longWords.size(); ++i) {
            const ShardedWords::LongWord& word = longWords[i];
            std::memcpy(next, word.word.data(), word.word.size());
            copy.longWords[shard].emplace_back(std::string_view(next, word.word.size()), word.count,
                                               word.hash);
            next += word.word.size();
        }
    }
    counting.waiting.words = &copy;
    counting.waiting.added = {};
    std::swap(counting.waiting.marks, counting.adding.marks);
    counting.adding.words = nullptr;
}

std::vector<WordTally::Scratch*> scratchesOf(std::vector<FileCounting>& jobs) {
    std::vector<WordTally::Scratch*> scratches;
    for (FileCounting& counting : jobs) scratches.push_back(&counting.scratches[0]);
    return scratches;
}

} // namespace

void addToTotal(FileCounting& counting, SharedTotal& total, size_t firstShard) {
    const size_t shards = total.shardCount;
    WordsToAdd& before = counting.waiting;
    WordsToAdd& now = counting.adding;
    WordTally::Scratch& scratch = counting.scratches[0];
    counting.counts.splitInto(counting.countsByShard, shards);
    now.words = &counting.countsByShard;
    now.added = {};
    auto leftIn = [&](size_t shard) { return before.leftIn(shard) + now.leftIn(shard); };
    auto shardsLeft = [&] {
        size_t left = 0;
        for (size_t shard = 0; shard < shards; ++shard) left += leftIn(shard) != 0;
        return left;
    };
    size_t taken = 0; // shards found taken since a part was last added
    for (size_t shard = firstShard % shards, left; (left = shardsLeft()) != 0;
         shard = (shard + 1) % shards) {
        if (leftIn(shard) == 0) continue;
        std::unique_lock<std::mutex> lock(total.locks[shard], std::defer_lock);
        if (!lock.try_lock()) {
            if (++taken < left) continue;
            if (before.left() == 0 && now.left() <= mostWaiting) {
                finishFile(before, total, scratch);
                keepWaiting(counting, shards);
                return;
            }
            if (before.left() != 0 && before.leftIn(shard) == 0) continue;
            lock.lock();
        }
        taken = 0;
        addPart(before.leftIn(shard) != 0 ? before : now, shard, total, scratch);
    }
    finishFile(before, total, scratch);
    finishFile(now, total, scratch);
}

void addWaitingWords(FileCounting& counting, SharedTotal& total) {
    WordsToAdd& words = counting.waiting;
    for (size_t shard = 0; shard < total.shardCount; ++shard) {
        std::lock_guard<std::mutex> lock(total.locks[shard]);
        while (words.leftIn(shard) != 0) addPart(words, shard, total, counting.scratches[0]);
    }
    finishFile(words, total, counting.scratches[0]);
}

void prepareNotes(SharedTotal& total, std::vector<FileCounting>& jobs) {
    for (size_t shard = 0; shard < total.shardCount; ++shard) total.shards[shard].keepNotes();
    for (FileCounting& counting : jobs) {
        total.notedLists->prepareForNotes(counting.scratches[0]);
        counting.adding.marks = total.notedLists->noMarks();
        counting.waiting.marks = total.notedLists->noMarks();
    }
}

void applyNotes(SharedTotal& total, std::vector<FileCounting>& jobs) {
    total.notedLists->applyNotes(total.shards, total.shardCount, total.noteStores,
                                 scratchesOf(jobs));
}

void applyLists(const WordTally& lists, SharedTotal& total, std::vector<FileCounting>& jobs) {
    lists.apply(total.shards, total.shardCount, scratchesOf(jobs));
}
