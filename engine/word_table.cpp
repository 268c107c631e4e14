#include "word_table.h"

#include "parallel_work.h"
#include "radix_sort.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace {

inline std::uint64_t loadBigEndian(const char* p, size_t size) {
    std::uint64_t value = 0;
    for (size_t i = 0; i < size; ++i) value = value << 8 | static_cast<unsigned char>(p[i]);
    return value;
}

inline std::uint64_t load64(const char* p) {
    std::uint64_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

// Words are short: two overlapping loads from each side compare up to 16 bytes without a call.
inline bool sameBytes(const char* a, const char* b, size_t size) {
    if (size >= 8) {
        if (size > 16) return std::memcmp(a, b, size) == 0;
        return load64(a) == load64(b) && load64(a + size - 8) == load64(b + size - 8);
    }
    return std::memcmp(a, b, size) == 0; // only the empty word is this short here
}

// A short word's key from its first eight bytes, read whole: those after the word are masked off.
inline std::uint64_t keyOfPadded(std::string_view word) {
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "keys are loaded byte-swapped");
    return __builtin_bswap64(load64(word.data())) & ~std::uint64_t{0} << (64 - 8 * word.size());
}

// A short word's key: its bytes big-endian, padded with zeros. The first four bytes and the last
// four, overlapping for fewer than eight, are loaded whole.
inline std::uint64_t keyOf(std::string_view word) {
    const char* p = word.data();
    size_t size = word.size();
    if (size >= 4)
        return loadBigEndian(p, 4) << 32 | loadBigEndian(p + size - 4, 4) << (64 - 8 * size);
    if (size >= 2)
        return loadBigEndian(p, 2) << 48 | loadBigEndian(p + size - 2, 2) << (64 - 8 * size);
    return loadBigEndian(p, size) << 56;
}

inline std::uint32_t hashOf(std::string_view word) {
    constexpr std::uint64_t multiplier = 0x9E3779B97F4A7C15ull;
    std::uint64_t hash = word.size() * multiplier;
    size_t i = 0;
    for (; i + 8 <= word.size(); i += 8) {
        hash = (hash ^ load64(word.data() + i)) * multiplier;
        hash ^= hash >> 29;
    }
    std::uint64_t tail = 0;
    for (; i < word.size(); ++i) tail = tail << 8 | static_cast<unsigned char>(word[i]);
    hash = (hash ^ tail) * multiplier;
    return static_cast<std::uint32_t>(hash ^ hash >> 32);
}

// Lays `count` free slots out in the memory that `slots` has where it is large enough, so that a
// table cleared after a large file and growing again for the next takes no fresh pages, which the
// system would first fault in and zero. Returns the slots as they were.
template <class Slot>
LargeVector<Slot> relaySlots(LargeVector<Slot>& slots, size_t count, Slot freeSlot) {
    LargeVector<Slot> old;
    if (count <= slots.capacity())
        old.assign(slots.begin(), slots.end());
    else
        old = std::move(slots);
    slots.assign(count, freeSlot);
    return old;
}

constexpr size_t firstSlotCount = 1024;

// The slots a table needs for `words`, filled to 70 % at most: a table grows to it at once, rather
// than through every size between, each of which would place all its words again.
size_t slotsFor(size_t words) {
    size_t slots = firstSlotCount;
    while (words * 10 > slots * 7) slots *= 2;
    return slots;
}

} // namespace

// The key's bytes are the word's, followed by zeros: its length is told by the zeros at its end.
ShortWordTable::WordBytes ShortWordTable::wordOfKey(std::uint64_t key) {
    WordBytes word;
    std::uint64_t bytes = __builtin_bswap64(key);
    std::memcpy(word.bytes, &bytes, sizeof bytes);
    word.size = key == 0 ? 0 : maxLength - __builtin_ctzll(key) / 8;
    return word;
}

// One branch for both ends of the search, which most words reach at their first slot: the slot's
// key is the word's or free (0) where the lesser of its difference from the word's and itself is
// 0. Whether the word is there or new is left to the caller, which need not branch on it either.
const ShortWordTable::Slot& ShortWordTable::find(std::uint64_t key) const {
    static_assert(freeKey == 0);
    size_t mask = slots.size() - 1;
    size_t i = slotOf(key);
    while (std::min(slots[i].key ^ key, slots[i].key) != 0) i = (i + 1) & mask;
    return slots[i];
}

ShortWordTable::Slot& ShortWordTable::find(std::uint64_t key) {
    return const_cast<Slot&>(std::as_const(*this).find(key));
}

// Grows before the words are looked up, so that slots found for them stay where they are.
void ShortWordTable::makeRoomFor(size_t newWords) {
    size_t needed = slotsFor(wordCount + newWords);
    if (needed > slots.size()) growTo(needed);
}

void ShortWordTable::growTo(size_t slotCount) {
    LargeVector<Slot> old = relaySlots(slots, slotCount, Slot{freeKey, 0});
    setShift();
    if (keepsNotes) {
        LargeVector<std::uint32_t> oldNotes = relaySlots(notes, slotCount, std::uint32_t{0});
        for (size_t i = 0; i < old.size(); ++i) {
            if (old[i].key == freeKey) continue;
            Slot& slot = find(old[i].key);
            slot = old[i];
            notes[&slot - slots.data()] = oldNotes[i];
        }
        return;
    }
    for (const Slot& slot : old)
        if (slot.key != freeKey) find(slot.key) = slot;
}

void ShortWordTable::keepNotes() {
    keepsNotes = true;
    notes.assign(slots.size(), 0);
}

void ShortWordTable::dropNotes() {
    keepsNotes = false;
    LargeVector<std::uint32_t>().swap(notes);
}

void ShortWordTable::setShift() {
    shift = 64;
    for (size_t size = slots.size(); size > 1; size /= 2) --shift;
}

void ShortWordTable::splitInto(ShardedWords& split) const {
    for (const Slot& slot : slots)
        if (slot.key != freeKey && countPart(slot.count) != 0)
            split.shortWords[shardOf(slot.key, split.shards)].emplace_back(slot.key, slot.count);
}

void ShortWordTable::addAll(const ShardedWords::ShortWord* words, size_t count, WordNotes* notes) {
    makeRoomFor(count);
    for (size_t first = 0; first < count; first += WordTable::lookupGroupSize) {
        size_t last = std::min(first + WordTable::lookupGroupSize, count);
        for (size_t i = first; i < last; ++i) prefetch(words[i].key);
        if (notes) // the notes lie apart from the slots
            for (size_t i = first; i < last; ++i)
                __builtin_prefetch(&this->notes[slotOf(words[i].key)]);
        for (size_t i = first; i < last; ++i) {
            if (notes)
                addNoted(words[i].key, withFiles(words[i].count), *notes);
            else
                add(words[i].key, withFiles(words[i].count));
        }
    }
}

void ShortWordTable::addNoted(std::uint64_t key, std::int64_t count, WordNotes& notes) {
    auto [at, isNew] = add(key, count);
    std::uint32_t& note = this->notes[at];
    if (isNew) note = notes.noteOf(wordOfKey(key).view());
    notes.take(note);
}

// A cleared table starts small, for a small file not to go through the slots of a large one; it
// keeps its memory, in which it grows again at once to the size the next file needs.
void ShortWordTable::clear() {
    slots.assign(firstSlotCount, Slot{freeKey, 0});
    setShift();
    wordCount = 0;
}

void ShortWordTable::prefetch(std::uint64_t key) const {
    __builtin_prefetch(&slots[slotOf(key)]);
}

std::pair<size_t, bool> ShortWordTable::add(std::uint64_t key, std::int64_t count) {
    Slot& slot = find(key);
    const bool isNew = slot.key == freeKey;
    wordCount += isNew;
    slot.key = key;
    slot.count += count;
    return {&slot - slots.data(), isNew};
}

std::int64_t ShortWordTable::countOf(std::uint64_t key) const {
    return slots.empty() ? 0 : find(key).count;
}

namespace {

// Most of a large table's words are counted once; they rank after all others, by their bytes
// alone, and are sorted by them (radix_sort.h) while the others are sorted by comparison. Where
// there are enough words for it to pay, the two parts are sorted on two threads: sortPart(false)
// sorts the others, sortPart(true) the words counted once.
template <class SortPart> void sortBothParts(size_t words, SortPart sortPart) {
    constexpr size_t wordsForTwoThreads = 65536;
    forEachInParallel(2, words >= wordsForTwoThreads ? 2 : 1,
                      [&](size_t part, size_t) { sortPart(part == 1); });
}

// The byte of a key at `level`, 0 the most significant.
unsigned char keyByte(std::uint64_t key, int level) {
    return static_cast<unsigned char>(key >> (56 - 8 * level));
}

} // namespace

void ShortWordTable::rank(std::int64_t least) {
    auto end = std::remove_if(slots.begin(), slots.end(),
                              [least](const Slot& slot) { return countPart(slot.count) < least; });
    wordCount = end - slots.begin();
    auto ranksBefore = [](const Slot& a, const Slot& b) {
        std::int64_t countOfA = countPart(a.count);
        std::int64_t countOfB = countPart(b.count);
        return countOfA != countOfB ? countOfA > countOfB : a.key > b.key;
    };
    auto countedOnce = std::partition(slots.begin(), end,
                                      [](const Slot& slot) { return countPart(slot.count) > 1; });
    sortBothParts(wordCount, [&](bool wordsCountedOnce) {
        if (!wordsCountedOnce)
            std::sort(slots.begin(), countedOnce, ranksBefore);
        else
            sortByDigitsDescending(
                countedOnce, end, sizeof(std::uint64_t),
                [](const Slot& slot, int level) { return keyByte(slot.key, level); },
                [&](auto first, auto last) { std::sort(first, last, ranksBefore); });
    });
}

const std::uint64_t* LongWordTable::find(std::string_view word, std::uint32_t hash) const {
    size_t mask = slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        std::uint64_t slot = slots[i];
        if (slot == freeSlot) return &slots[i];
        if (slot >> 32 == hash) {
            std::string_view candidate = wordAt(recordAt((slot & 0xFFFFFFFFu) - 1));
            if (candidate.size() == word.size() &&
                sameBytes(candidate.data(), word.data(), word.size()))
                return &slots[i];
        }
    }
}

std::uint64_t* LongWordTable::find(std::string_view word, std::uint32_t hash) {
    return const_cast<std::uint64_t*>(std::as_const(*this).find(word, hash));
}

void LongWordTable::makeRoomFor(size_t newWords) {
    size_t needed = slotsFor(wordCount + newWords);
    if (needed > slots.size()) growTo(needed);
}

void LongWordTable::growTo(size_t slotCount) {
    LargeVector<std::uint64_t> old = relaySlots(slots, slotCount, freeSlot);
    size_t mask = slots.size() - 1;
    for (std::uint64_t slot : old) {
        if (slot == freeSlot) continue;
        size_t i = (slot >> 32) & mask;
        while (slots[i] != freeSlot) i = (i + 1) & mask;
        slots[i] = slot;
    }
}

// The words are found through the slots, which hold their hashes.
void LongWordTable::splitInto(ShardedWords& split) const {
    for (std::uint64_t slot : slots) {
        if (slot == freeSlot) continue;
        const char* record = recordAt((slot & 0xFFFFFFFFu) - 1);
        std::uint32_t hash = static_cast<std::uint32_t>(slot >> 32);
        if (countPart(countAt(record)) != 0)
            split.longWords[shardOf(hash, split.shards)].emplace_back(wordAt(record),
                                                                      countAt(record), hash);
    }
}

// A word's slot leads to its record elsewhere: a group's slots are fetched, then the records of
// those that hold one, and only then is any word compared.
void LongWordTable::addAll(const ShardedWords::LongWord* words, size_t count, WordNotes* notes) {
    makeRoomFor(count);
    for (size_t first = 0; first < count; first += WordTable::lookupGroupSize) {
        size_t last = std::min(first + WordTable::lookupGroupSize, count);
        for (size_t i = first; i < last; ++i) prefetch(words[i].hash);
        for (size_t i = first; i < last; ++i) prefetchRecord(words[i].hash);
        for (size_t i = first; i < last; ++i) {
            if (notes)
                addNoted(words[i].word, withFiles(words[i].count), words[i].hash, *notes);
            else
                add(words[i].word, withFiles(words[i].count), words[i].hash);
        }
    }
}

void LongWordTable::addNoted(std::string_view word, std::int64_t count, std::uint32_t hash,
                             WordNotes& notes) {
    auto [record, isNew] = add(word, count, hash);
    if (isNew) setNoteAt(record, notes.noteOf(word));
    notes.take(noteOf(record));
}

// A note takes four bytes after each record's length; a table without notes spares them.
void LongWordTable::keepNotes() {
    headerSize = noteAt + sizeof(std::uint32_t);
}

// Starts small as a short word table does; the first chunk is kept for the words to come.
void LongWordTable::clear() {
    slots.assign(firstSlotCount, freeSlot);
    if (chunks.size() > 1) chunks.resize(1);
    if (!chunks.empty()) chunks[0].used = 0;
    wordCount = 0;
}

void LongWordTable::prefetch(std::uint32_t hash) const {
    __builtin_prefetch(&slots[hash & (slots.size() - 1)]);
}

void LongWordTable::prefetchRecord(std::uint32_t hash) const {
    std::uint64_t slot = slots[hash & (slots.size() - 1)];
    if (slot != freeSlot) __builtin_prefetch(recordAt((slot & 0xFFFFFFFFu) - 1));
}

std::pair<char*, bool> LongWordTable::add(std::string_view word, std::int64_t count,
                                          std::uint32_t hash) {
    std::uint64_t* slot = find(word, hash);
    if (*slot != freeSlot) {
        char* record = recordAt((*slot & 0xFFFFFFFFu) - 1);
        setCountAt(record, countAt(record) + count);
        return {record, false};
    }
    RecordRef ref = appendRecord(word, count);
    *slot = std::uint64_t{hash} << 32 | (ref + 1);
    ++wordCount;
    return {recordAt(ref), true};
}

std::int64_t LongWordTable::countOf(std::string_view word, std::uint32_t hash) const {
    if (slots.empty()) return 0;
    const std::uint64_t* slot = find(word, hash);
    return *slot == freeSlot ? 0 : countAt(recordAt((*slot & 0xFFFFFFFFu) - 1));
}

// A record never straddles two chunks; one too long for a chunk gets a chunk of its own size.
LongWordTable::RecordRef LongWordTable::appendRecord(std::string_view word, std::int64_t count) {
    size_t recordSize = headerSize + word.size();
    if (chunks.empty() || chunks.back().used + recordSize > chunkSize) {
        // References are 32-bit to keep the index small; a table that outgrows them fails the
        // run rather than mixing up words.
        if (chunks.size() == maxChunks || word.size() > UINT32_MAX)
            throw std::length_error("word table full");
        // Left uninitialised: every record is written before it is read.
        chunks.push_back({allocateLargeBlock(std::max(chunkSize, recordSize)), 0});
    }
    Chunk& chunk = chunks.back();
    char* record = &chunk.bytes[chunk.used];
    setCountAt(record, count);
    std::uint32_t length = static_cast<std::uint32_t>(word.size());
    std::memcpy(record + countSize, &length, sizeof length);
    std::memcpy(record + headerSize, word.data(), word.size());
    if (headerSize > noteAt) setNoteAt(record, 0);
    RecordRef ref = static_cast<RecordRef>((chunks.size() - 1) << chunkBits | chunk.used);
    chunk.used += recordSize;
    return ref;
}

void LongWordTable::rank(std::int64_t least) {
    LargeVector<std::uint64_t>().swap(slots);
    collectRanked(least);
    auto countedOnce = std::partition(ranked.begin(), ranked.end(), [](const RankedRecord& record) {
        return record.cutCount > 1;
    });
    sortBothParts(ranked.size(), [&](bool wordsCountedOnce) {
        if (!wordsCountedOnce)
            sortRanked(ranked.begin(), countedOnce);
        else
            sortByDigitsDescending(
                countedOnce, ranked.end(), sizeof(std::uint64_t),
                [](const RankedRecord& record, int level) { return keyByte(record.prefix, level); },
                [this](auto first, auto last) { sortRanked(first, last); });
    });
}

void LongWordTable::collectRanked(std::int64_t least) {
    ranked.clear();
    ranked.reserve(wordCount);
    for (size_t number = 0; number < chunks.size(); ++number) {
        for (size_t at = 0; at < chunks[number].used;) {
            const char* record = &chunks[number].bytes[at];
            std::string_view word = wordAt(record);
            std::int64_t count = countPart(countAt(record));
            if (count >= least)
                ranked.emplace_back(
                    keyOf(word.substr(0, ShortWordTable::maxLength)),
                    static_cast<RecordRef>(number << chunkBits | at),
                    static_cast<std::uint32_t>(std::min<std::int64_t>(count, UINT32_MAX)));
            at += headerSize + word.size();
        }
    }
}

void LongWordTable::sortRanked(LargeVector<RankedRecord>::iterator first,
                               LargeVector<RankedRecord>::iterator last) const {
    std::sort(first, last, [this](const RankedRecord& a, const RankedRecord& b) {
        if (a.cutCount != b.cutCount) return a.cutCount > b.cutCount;
        if (a.cutCount == UINT32_MAX && countOf(a) != countOf(b)) return countOf(a) > countOf(b);
        if (a.prefix != b.prefix) return a.prefix > b.prefix;
        return wordAt(recordAt(a.ref)) > wordAt(recordAt(b.ref));
    });
}

void WordTable::makeRoomFor(size_t newWords) {
    shortWords.makeRoomFor(newWords);
    longWords.makeRoomFor(newWords);
}

void WordTable::add(std::string_view word, std::int64_t count) {
    makeRoomFor(1);
    if (ShortWordTable::holds(word))
        shortWords.add(keyOf(word), count);
    else
        longWords.add(word, count, hashOf(word));
}

// Short and long words are told apart once, so that each table's lookups run in a loop of their
// own that branches on nothing else.
void WordTable::addOneToEach(const std::string_view* words, size_t count) {
    makeRoomFor(count);
    std::uint64_t keys[lookupGroupSize];
    std::uint32_t hashes[lookupGroupSize];
    const std::string_view* longOnes[lookupGroupSize];
    size_t shortCount = 0;
    size_t longCount = 0;
    for (size_t i = 0; i < count; ++i) {
        if (ShortWordTable::holds(words[i])) {
            keys[shortCount++] = keyOfPadded(words[i]);
        } else {
            hashes[longCount] = hashOf(words[i]);
            longOnes[longCount++] = &words[i];
        }
    }
    for (size_t i = 0; i < shortCount; ++i) shortWords.prefetch(keys[i]);
    for (size_t i = 0; i < longCount; ++i) longWords.prefetch(hashes[i]);
    for (size_t i = 0; i < shortCount; ++i) shortWords.add(keys[i], 1);
    for (size_t i = 0; i < longCount; ++i) longWords.add(*longOnes[i], 1, hashes[i]);
}

void WordTable::splitInto(ShardedWords& split, size_t shards) const {
    split.shards = shards;
    for (size_t shard = 0; shard < shards; ++shard) {
        split.shortWords[shard].clear();
        split.longWords[shard].clear();
    }
    shortWords.splitInto(split);
    longWords.splitInto(split);
}

size_t WordTable::addShard(const ShardedWords& split, size_t shard, size_t from, size_t most,
                           WordNotes* notes) {
    const std::vector<ShardedWords::ShortWord>& shortOnes = split.shortWords[shard];
    const std::vector<ShardedWords::LongWord>& longOnes = split.longWords[shard];
    if (from < shortOnes.size()) {
        const size_t count = std::min(most, shortOnes.size() - from);
        shortWords.addAll(shortOnes.data() + from, count, notes);
        from += count;
        most -= count;
    }
    if (from >= shortOnes.size() && most != 0) {
        const size_t first = from - shortOnes.size();
        const size_t count = std::min(most, longOnes.size() - first);
        longWords.addAll(longOnes.data() + first, count, notes);
        from += count;
    }
    return from;
}

void WordTable::keepNotes() {
    shortWords.keepNotes();
    longWords.keepNotes();
}

// The long words keep the room of their notes in their records.
void WordTable::dropNotes() {
    shortWords.dropNotes();
}

size_t shardOfWord(std::string_view word, size_t shards) {
    return ShortWordTable::holds(word) ? ShortWordTable::shardOf(keyOf(word), shards)
                                       : LongWordTable::shardOf(hashOf(word), shards);
}

void WordTable::clear() {
    shortWords.clear();
    longWords.clear();
}

std::int64_t WordTable::countOf(std::string_view word) const {
    if (ShortWordTable::holds(word)) return shortWords.countOf(keyOf(word));
    return longWords.countOf(word, hashOf(word));
}

// Every shard's short words and long words are sorted on their own, on as many threads as there
// are.
WordRanking::WordRanking(WordShards&& counted, std::int64_t minimum, int threads)
    : shards(std::move(counted)) {
    std::int64_t least = std::max<std::int64_t>(minimum, 1);
    forEachInParallel(2 * maxShards, threads, [&](size_t source, size_t) {
        WordTable& shard = shards[source % maxShards];
        if (source < maxShards)
            shard.shortWords.rank(least);
        else
            shard.longWords.rank(least);
    });
}
