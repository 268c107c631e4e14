#pragma once

#include <cstdint>
#include <cstring>
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
// so counting it touches a single cache line and no word bytes elsewhere. Longer words lie end to
// end in an arena; each has a 24-byte entry, found through an open-addressing index of 8-byte
// slots (the word's hash and the entry's number).
class WordTable {
  public:
    inline void add(std::string_view word, std::int64_t count);
    // Adds 1 for each word. The slots of all the words are fetched from memory together before
    // any is compared, so their cache misses overlap instead of queueing.
    void addOneToEach(const std::vector<std::string_view>& words);
    inline std::int64_t countOf(std::string_view word) const;
    size_t size() const { return shortWordCount + entries.size(); }

    // Calls visit(word, count) for every word, with count a reference that may be changed. The
    // table must not be added to meanwhile.
    template <class Visit> void forEachWord(Visit visit);

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
    struct Entry {
        std::int64_t count;
        std::uint64_t prefix; // the first eight bytes as a key: orders entries without the arena
        std::uint32_t offset; // into the arena
        std::uint32_t length;
    };
    struct WordBytes { // a short word unpacked from its key
        char bytes[8];
        size_t size;
        std::string_view view() const { return {bytes, size}; }
    };

    static constexpr size_t maxShortLength = 8;
    static constexpr std::uint64_t freeSlot = 0;

    static bool isShort(std::string_view word) {
        return !word.empty() && word.size() <= maxShortLength;
    }
    static inline std::uint64_t keyOf(std::string_view word);
    static inline WordBytes wordOfKey(std::uint64_t key);
    static inline std::uint32_t hashOf(std::string_view word);
    static bool rankedBefore(const ShortSlot& a, const Entry& b);

    size_t shortSlotOf(std::uint64_t key) const {
        return (key * 0x9E3779B97F4A7C15ull) >> shortShift;
    }
    inline ShortSlot& findShortSlot(std::uint64_t key);
    inline const ShortSlot& findShortSlot(std::uint64_t key) const;
    inline std::uint64_t* findLongSlot(std::string_view word, std::uint32_t hash);
    inline const std::uint64_t* findLongSlot(std::string_view word, std::uint32_t hash) const;
    inline void addShort(std::uint64_t key, std::int64_t count);
    inline void addLong(std::string_view word, std::int64_t count, std::uint32_t hash);
    void makeRoomFor(size_t newWords);
    void growShortSlots();
    void growLongSlots();
    std::string_view wordOf(const Entry& entry) const {
        return {arena.data() + entry.offset, entry.length};
    }

    std::vector<ShortSlot> shortSlots; // a power of two in size, or empty
    size_t shortWordCount = 0;
    int shortShift = 64;                  // 64 - log2 of the number of short slots
    std::vector<std::uint64_t> longSlots; // hash << 32 | entry number + 1, never freeSlot if used
    std::vector<Entry> entries;
    std::string arena;
    std::vector<std::uint64_t> keysOrHashes; // scratch for addOneToEach
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

inline const std::uint64_t* WordTable::findLongSlot(std::string_view word,
                                                    std::uint32_t hash) const {
    size_t mask = longSlots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        std::uint64_t slot = longSlots[i];
        if (slot == freeSlot) return &longSlots[i];
        if (slot >> 32 == hash) {
            const Entry& entry = entries[(slot & 0xFFFFFFFFu) - 1];
            if (entry.length == word.size() &&
                word_table_detail::sameBytes(arena.data() + entry.offset, word.data(), word.size()))
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
        entries[(*slot & 0xFFFFFFFFu) - 1].count += count;
        return;
    }
    // Offsets and entry numbers are 32-bit to keep the table small; a table that outgrows them
    // fails the run rather than mixing up words.
    if (arena.size() + word.size() > UINT32_MAX || entries.size() + 1 >= UINT32_MAX)
        throw std::length_error("word table full");
    entries.push_back({count, keyOf(word.substr(0, maxShortLength)),
                       static_cast<std::uint32_t>(arena.size()),
                       static_cast<std::uint32_t>(word.size())});
    arena.append(word);
    *slot = std::uint64_t{hash} << 32 | entries.size();
}

inline std::int64_t WordTable::countOf(std::string_view word) const {
    if (isShort(word)) return shortSlots.empty() ? 0 : findShortSlot(keyOf(word)).count;
    if (longSlots.empty()) return 0;
    const std::uint64_t* slot = findLongSlot(word, hashOf(word));
    return *slot == freeSlot ? 0 : entries[(*slot & 0xFFFFFFFFu) - 1].count;
}

template <class Visit> void WordTable::forEachWord(Visit visit) {
    for (ShortSlot& slot : shortSlots)
        if (slot.key != freeSlot) visit(wordOfKey(slot.key).view(), slot.count);
    for (Entry& entry : entries) visit(wordOf(entry), entry.count);
}

// The short words and the entries are each in ranked order; they are merged.
template <class Visit> void WordTable::forEachRanked(Visit visit) const {
    size_t nextShort = 0;
    size_t nextEntry = 0;
    while (nextShort < shortWordCount || nextEntry < entries.size()) {
        if (nextEntry == entries.size() ||
            (nextShort < shortWordCount &&
             rankedBefore(shortSlots[nextShort], entries[nextEntry]))) {
            const ShortSlot& slot = shortSlots[nextShort++];
            visit(wordOfKey(slot.key).view(), slot.count);
        } else {
            const Entry& entry = entries[nextEntry++];
            visit(wordOf(entry), entry.count);
        }
    }
}
