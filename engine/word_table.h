#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Counts per byte string, kept compact because a large file holds millions of distinct words.
// Words hold no zero byte.
//
// Nine in ten words of a text are at most eight bytes long. Such a word is its own key: its bytes
// packed big-endian into 64 bits and padded with zeros, kept with its count in one 16-byte slot,
// so counting it touches a single cache line and no word bytes elsewhere. A longer word has a
// record in an arena of 1 MiB chunks (its count, its length and its bytes, so that counting it
// touches one place), found through an open-addressing index of 8-byte slots (the word's hash
// and the record's reference). The chunks never move, so growing the arena copies nothing.
class WordTable {
  public:
    inline void add(std::string_view word, std::int64_t count);
    // Adds 1 for each of `count` words, at most lookupGroupSize. Their slots are fetched from
    // memory together before any is compared, so their cache misses overlap instead of queueing;
    // a group's slots stay in the first-level cache between fetch and use.
    static constexpr size_t lookupGroupSize = 32;
    void addOneToEach(const std::string_view* words, size_t count);
    inline std::int64_t countOf(std::string_view word) const;
    size_t size() const { return shortWordCount + longWordCount; }

    // Sets every count of one share of the words, the part-th of `parts`, to update(word, count).
    // Different shares may be updated at the same time on different threads.
    template <class Update> void updateCounts(size_t part, size_t parts, Update update);

    // Gives up the index and orders the words counted at least `minimum` times, and at least
    // once, by count, highest first, and among equal counts by unsigned byte order, greatest
    // first. Afterwards the table can only be read, in that order, by forEachRanked.
    void rank(std::int64_t minimum);
    template <class Visit> void forEachRanked(Visit visit) const;

  private:
    struct ShortSlot {
        std::uint64_t key; // 0 when free: no word is empty
        std::int64_t count;
    };
    struct WordBytes { // a short word unpacked from its key
        char bytes[8];
        size_t size;
        std::string_view view() const { return {bytes, size}; }
    };
    // A record is found by chunk number << chunkBits | its place in the chunk.
    using RecordRef = std::uint32_t;
    struct Chunk {
        std::unique_ptr<char[]> bytes;
        size_t used;
    };
    // 16 bytes: the count is cut to 32 bits, and read from the record only when it is that big.
    struct RankedRecord {
        std::uint64_t prefix; // the first eight bytes as a key: orders records without the arena
        RecordRef ref;
        std::uint32_t cutCount;
    };

    static constexpr size_t maxShortLength = 8;
    static constexpr std::uint64_t freeSlot = 0;
    static constexpr int chunkBits = 20;
    static constexpr size_t chunkSize = size_t{1} << chunkBits;
    static constexpr size_t maxChunks = 4095; // so that a reference + 1 fits 32 bits
    static constexpr size_t countSize = 8;
    static constexpr size_t headerSize = countSize + 4; // count, then length

    static bool isShort(std::string_view word) {
        return !word.empty() && word.size() <= maxShortLength;
    }
    static inline std::uint64_t keyOf(std::string_view word);
    static inline WordBytes wordOfKey(std::uint64_t key);
    static inline std::uint32_t hashOf(std::string_view word);
    static inline std::int64_t countAt(const char* record);
    static inline void setCountAt(char* record, std::int64_t count);
    static inline std::string_view wordAt(const char* record);

    size_t shortSlotOf(std::uint64_t key) const {
        return (key * 0x9E3779B97F4A7C15ull) >> shortShift;
    }
    char* recordAt(RecordRef ref) const {
        return chunks[ref >> chunkBits].bytes.get() + (ref & (chunkSize - 1));
    }
    inline ShortSlot& findShortSlot(std::uint64_t key);
    inline const ShortSlot& findShortSlot(std::uint64_t key) const;
    inline std::uint64_t* findLongSlot(std::string_view word, std::uint32_t hash);
    inline const std::uint64_t* findLongSlot(std::string_view word, std::uint32_t hash) const;
    inline void addShort(std::uint64_t key, std::int64_t count);
    inline void addLong(std::string_view word, std::int64_t count, std::uint32_t hash);
    RecordRef appendRecord(std::string_view word, std::int64_t count);
    void makeRoomFor(size_t newWords);
    void growShortSlots();
    void growLongSlots();
    void rankShortWords(std::int64_t least);
    void collectRankedRecords(std::int64_t least);
    void sortRecords(std::vector<RankedRecord>::iterator first,
                     std::vector<RankedRecord>::iterator last) const;
    template <class Visit> void forEachRecord(size_t firstChunk, size_t endChunk, Visit visit);
    std::int64_t countOf(const RankedRecord& ranked) const {
        return ranked.cutCount < UINT32_MAX ? ranked.cutCount : countAt(recordAt(ranked.ref));
    }

    std::vector<ShortSlot> shortSlots; // a power of two in size, or empty
    size_t shortWordCount = 0;
    int shortShift = 64;                  // 64 - log2 of the number of short slots
    std::vector<std::uint64_t> longSlots; // hash << 32 | reference + 1, never freeSlot if used
    std::vector<Chunk> chunks;
    size_t longWordCount = 0;
    std::vector<RankedRecord> rankedRecords; // filled by rank()
};

namespace word_table_detail {

inline std::uint64_t loadBigEndian(const char* p, size_t size) {
    std::uint64_t value = 0;
    for (size_t i = 0; i < size; ++i) value = value << 8 | static_cast<unsigned char>(p[i]);
    return value;
}

template <class Unsigned> Unsigned load(const char* p) {
    Unsigned value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

// Words are short: two overlapping loads from each side compare up to 16 bytes without a call.
inline bool sameBytes(const char* a, const char* b, size_t size) {
    if (size >= 8) {
        if (size > 16) return std::memcmp(a, b, size) == 0;
        return load<std::uint64_t>(a) == load<std::uint64_t>(b) &&
               load<std::uint64_t>(a + size - 8) == load<std::uint64_t>(b + size - 8);
    }
    return std::memcmp(a, b, size) == 0; // only the empty word is this short here
}

} // namespace word_table_detail

// The first four bytes and the last four, overlapping for fewer than eight, are loaded whole.
inline std::uint64_t WordTable::keyOf(std::string_view word) {
    using word_table_detail::loadBigEndian;
    const char* p = word.data();
    size_t size = word.size();
    if (size >= 4)
        return loadBigEndian(p, 4) << 32 | loadBigEndian(p + size - 4, 4) << (64 - 8 * size);
    if (size >= 2)
        return loadBigEndian(p, 2) << 48 | loadBigEndian(p + size - 2, 2) << (64 - 8 * size);
    return loadBigEndian(p, size) << 56;
}

inline WordTable::WordBytes WordTable::wordOfKey(std::uint64_t key) {
    WordBytes word{};
    while (key != 0) {
        word.bytes[word.size++] = static_cast<char>(key >> 56);
        key <<= 8;
    }
    return word;
}

inline std::uint32_t WordTable::hashOf(std::string_view word) {
    constexpr std::uint64_t multiplier = 0x9E3779B97F4A7C15ull;
    std::uint64_t hash = word.size() * multiplier;
    size_t i = 0;
    for (; i + 8 <= word.size(); i += 8) {
        std::uint64_t chunk = word_table_detail::load<std::uint64_t>(word.data() + i);
        hash = (hash ^ chunk) * multiplier;
        hash ^= hash >> 29;
    }
    std::uint64_t tail = 0;
    for (; i < word.size(); ++i) tail = tail << 8 | static_cast<unsigned char>(word[i]);
    hash = (hash ^ tail) * multiplier;
    return static_cast<std::uint32_t>(hash ^ hash >> 32);
}

inline const WordTable::ShortSlot& WordTable::findShortSlot(std::uint64_t key) const {
    size_t mask = shortSlots.size() - 1;
    for (size_t i = shortSlotOf(key);; i = (i + 1) & mask)
        if (shortSlots[i].key == key || shortSlots[i].key == freeSlot) return shortSlots[i];
}

inline WordTable::ShortSlot& WordTable::findShortSlot(std::uint64_t key) {
    return const_cast<ShortSlot&>(std::as_const(*this).findShortSlot(key));
}

inline std::int64_t WordTable::countAt(const char* record) {
    return word_table_detail::load<std::int64_t>(record);
}

inline void WordTable::setCountAt(char* record, std::int64_t count) {
    std::memcpy(record, &count, sizeof count);
}

inline std::string_view WordTable::wordAt(const char* record) {
    return {record + headerSize, word_table_detail::load<std::uint32_t>(record + countSize)};
}

inline const std::uint64_t* WordTable::findLongSlot(std::string_view word,
                                                    std::uint32_t hash) const {
    size_t mask = longSlots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        std::uint64_t slot = longSlots[i];
        if (slot == freeSlot) return &longSlots[i];
        if (slot >> 32 == hash) {
            std::string_view candidate = wordAt(recordAt((slot & 0xFFFFFFFFu) - 1));
            if (candidate.size() == word.size() &&
                word_table_detail::sameBytes(candidate.data(), word.data(), word.size()))
                return &longSlots[i];
        }
    }
}

inline std::uint64_t* WordTable::findLongSlot(std::string_view word, std::uint32_t hash) {
    return const_cast<std::uint64_t*>(std::as_const(*this).findLongSlot(word, hash));
}

inline void WordTable::add(std::string_view word, std::int64_t count) {
    makeRoomFor(1);
    if (isShort(word))
        addShort(keyOf(word), count);
    else
        addLong(word, count, hashOf(word));
}

inline void WordTable::addShort(std::uint64_t key, std::int64_t count) {
    ShortSlot& slot = findShortSlot(key);
    if (slot.key == freeSlot) {
        slot.key = key;
        ++shortWordCount;
    }
    slot.count += count;
}

inline void WordTable::addLong(std::string_view word, std::int64_t count, std::uint32_t hash) {
    std::uint64_t* slot = findLongSlot(word, hash);
    if (*slot != freeSlot) {
        char* record = recordAt((*slot & 0xFFFFFFFFu) - 1);
        setCountAt(record, countAt(record) + count);
        return;
    }
    *slot = std::uint64_t{hash} << 32 | (appendRecord(word, count) + 1);
    ++longWordCount;
}

inline std::int64_t WordTable::countOf(std::string_view word) const {
    if (isShort(word)) return shortSlots.empty() ? 0 : findShortSlot(keyOf(word)).count;
    if (longSlots.empty()) return 0;
    const std::uint64_t* slot = findLongSlot(word, hashOf(word));
    return *slot == freeSlot ? 0 : countAt(recordAt((*slot & 0xFFFFFFFFu) - 1));
}

// Calls visit(record) for the records of chunks [firstChunk, endChunk).
template <class Visit>
void WordTable::forEachRecord(size_t firstChunk, size_t endChunk, Visit visit) {
    for (size_t number = firstChunk; number < endChunk; ++number) {
        Chunk& chunk = chunks[number];
        for (size_t at = 0; at < chunk.used; at += headerSize + wordAt(&chunk.bytes[at]).size())
            visit(&chunk.bytes[at]);
    }
}

template <class Update> void WordTable::updateCounts(size_t part, size_t parts, Update update) {
    for (size_t i = shortSlots.size() * part / parts; i < shortSlots.size() * (part + 1) / parts;
         ++i) {
        ShortSlot& slot = shortSlots[i];
        if (slot.key != freeSlot) slot.count = update(wordOfKey(slot.key).view(), slot.count);
    }
    forEachRecord(
        chunks.size() * part / parts, chunks.size() * (part + 1) / parts,
        [&](char* record) { setCountAt(record, update(wordAt(record), countAt(record))); });
}

// The short words and the records are each in ranked order; they are merged. With equal counts
// and prefixes, the record's word is the greater: it is the longer.
template <class Visit> void WordTable::forEachRanked(Visit visit) const {
    size_t nextShort = 0;
    size_t nextRecord = 0;
    while (nextShort < shortWordCount || nextRecord < rankedRecords.size()) {
        const RankedRecord* record =
            nextRecord < rankedRecords.size() ? &rankedRecords[nextRecord] : nullptr;
        const ShortSlot* slot = nextShort < shortWordCount ? &shortSlots[nextShort] : nullptr;
        if (slot && (!record || slot->count > countOf(*record) ||
                     (slot->count == countOf(*record) && slot->key > record->prefix))) {
            visit(wordOfKey(slot->key).view(), slot->count);
            ++nextShort;
        } else {
            // Records lie all over the arena; one a little further on is fetched meanwhile.
            constexpr size_t fetchAhead = 16;
            if (nextRecord + fetchAhead < rankedRecords.size())
                __builtin_prefetch(recordAt(rankedRecords[nextRecord + fetchAhead].ref));
            visit(wordAt(recordAt(record->ref)), countOf(*record));
            ++nextRecord;
        }
    }
}
