#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Counts per byte string, kept compact because a large file holds millions of distinct words:
// the words lie end to end in one arena, each has a 16-byte entry, and an open-addressing index
// of 8-byte slots (the entry's number and its hash) finds them. A count of 0 marks a word that
// is known but not counted.
class WordTable {
  public:
    struct Entry {
        std::int64_t count;
        std::uint32_t offset; // into the arena
        std::uint32_t length;
    };

    inline void add(std::string_view word, std::int64_t count);
    // Adds 1 for each word. The slots and entries of all the words are fetched from memory
    // together before any is compared, so their cache misses overlap instead of queueing.
    void addOneToEach(const std::vector<std::string_view>& words);
    inline std::int64_t countOf(std::string_view word) const;
    size_t size() const { return entries.size(); }
    std::string_view wordOf(const Entry& entry) const {
        return {arena.data() + entry.offset, entry.length};
    }

    // Entries in the order they were added; counts may change, words may not.
    std::vector<Entry>& allEntries() { return entries; }

    // Gives up the index and its memory, leaving the entries; the table can then no longer be
    // searched or added to.
    const std::vector<Entry>& releaseIndex() {
        std::vector<std::uint64_t>().swap(slots);
        return entries;
    }

  private:
    static constexpr std::uint64_t freeSlot = 0;

    static inline std::uint32_t hashOf(std::string_view word);
    inline std::uint64_t* findSlot(std::string_view word, std::uint32_t hash);
    inline const std::uint64_t* findSlot(std::string_view word, std::uint32_t hash) const;
    inline void add(std::string_view word, std::int64_t count, std::uint32_t hash);
    void grow();

    std::vector<std::uint64_t> slots; // hash << 32 | entry number + 1, so never freeSlot when used
    std::vector<Entry> entries;
    std::string arena;
    std::vector<std::uint32_t> hashes; // scratch for addOneToEach
};

inline std::uint32_t WordTable::hashOf(std::string_view word) {
    constexpr std::uint64_t multiplier = 0x9E3779B97F4A7C15ull;
    std::uint64_t hash = word.size() * multiplier;
    size_t i = 0;
    for (; i + 8 <= word.size(); i += 8) {
        std::uint64_t chunk;
        std::memcpy(&chunk, word.data() + i, 8);
        hash = (hash ^ chunk) * multiplier;
        hash ^= hash >> 29;
    }
    std::uint64_t tail = 0;
    for (; i < word.size(); ++i) tail = tail << 8 | static_cast<unsigned char>(word[i]);
    hash = (hash ^ tail) * multiplier;
    return static_cast<std::uint32_t>(hash ^ hash >> 32);
}

namespace word_table_detail {

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
    if (size >= 4)
        return load<std::uint32_t>(a) == load<std::uint32_t>(b) &&
               load<std::uint32_t>(a + size - 4) == load<std::uint32_t>(b + size - 4);
    for (size_t i = 0; i < size; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

} // namespace word_table_detail

inline const std::uint64_t* WordTable::findSlot(std::string_view word, std::uint32_t hash) const {
    size_t mask = slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        std::uint64_t slot = slots[i];
        if (slot == freeSlot) return &slots[i];
        if (slot >> 32 == hash) {
            const Entry& entry = entries[(slot & 0xFFFFFFFFu) - 1];
            if (entry.length == word.size() &&
                word_table_detail::sameBytes(arena.data() + entry.offset, word.data(), word.size()))
                return &slots[i];
        }
    }
}

inline std::uint64_t* WordTable::findSlot(std::string_view word, std::uint32_t hash) {
    return const_cast<std::uint64_t*>(std::as_const(*this).findSlot(word, hash));
}

inline void WordTable::add(std::string_view word, std::int64_t count) {
    add(word, count, hashOf(word));
}

inline void WordTable::add(std::string_view word, std::int64_t count, std::uint32_t hash) {
    if ((entries.size() + 1) * 10 > slots.size() * 7) grow();
    std::uint64_t* slot = findSlot(word, hash);
    if (*slot != freeSlot) {
        entries[(*slot & 0xFFFFFFFFu) - 1].count += count;
        return;
    }
    // Offsets and entry numbers are 32-bit to keep the table small; a table that outgrows them
    // fails the run rather than mixing up words.
    if (arena.size() + word.size() > UINT32_MAX || entries.size() + 1 >= UINT32_MAX)
        throw std::length_error("word table full");
    entries.push_back(
        {count, static_cast<std::uint32_t>(arena.size()), static_cast<std::uint32_t>(word.size())});
    arena.append(word);
    *slot = std::uint64_t{hash} << 32 | entries.size();
}

inline std::int64_t WordTable::countOf(std::string_view word) const {
    if (slots.empty()) return 0;
    const std::uint64_t* slot = findSlot(word, hashOf(word));
    return *slot == freeSlot ? 0 : entries[(*slot & 0xFFFFFFFFu) - 1].count;
}
