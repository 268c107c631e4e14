#pragma once

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Counts per byte string in one open-addressing hash table. Most words are short: a word of up
// to 16 bytes is held in the slot itself as two overlapping 8-byte loads, so finding it costs two
// compares and no pointer chase. Longer words live in an arena.
class WordTable {
  public:
    inline void add(std::string_view word, std::int64_t count);
    std::int64_t countOf(std::string_view word) const;
    size_t size() const { return used; }

    template <class Visit> void forEach(Visit visit) const {
        for (const Slot& slot : slots)
            if (slot.count != 0) visit(keyOf(slot), slot.count);
    }

  private:
    struct Key {
        std::uint64_t head, tail; // overlapping loads of the first and the last bytes
        std::uint32_t hash;
    };
    struct Slot {
        std::uint64_t head, tail;
        std::int64_t count; // 0 marks a free slot
        std::uint32_t hash;
        std::uint32_t length;
        std::uint32_t offset; // into the arena, which holds every word
    };

    static inline Key keyFor(std::string_view word);
    std::string_view keyOf(const Slot& slot) const {
        return {arena.data() + slot.offset, slot.length};
    }
    inline size_t findSlot(std::string_view word, const Key& key) const;
    void grow();

    std::vector<Slot> slots;
    std::string arena;
    size_t used = 0;
};

namespace word_table_detail {

inline constexpr std::uint64_t multiplier = 0x9E3779B97F4A7C15ull;

inline std::uint64_t load8(const char* p) {
    std::uint64_t value;
    std::memcpy(&value, p, 8);
    return value;
}

inline std::uint64_t load4(const char* p) {
    std::uint32_t value;
    std::memcpy(&value, p, 4);
    return value;
}

inline std::uint64_t mix(std::uint64_t a, std::uint64_t b) {
    std::uint64_t product = (a ^ multiplier) * (b ^ 0xD6E8FEB86659FD93ull);
    return product ^ (product >> 29) ^ (product >> 47);
}

} // namespace word_table_detail

// Up to 16 bytes, head, tail and length together determine the word: the loads overlap and cover
// every byte. Longer words also hash their middle.
inline WordTable::Key WordTable::keyFor(std::string_view word) {
    using namespace word_table_detail;
    const char* p = word.data();
    size_t size = word.size();
    Key key{0, 0, 0};
    if (size >= 8) {
        key.head = load8(p);
        key.tail = load8(p + size - 8);
    } else if (size >= 4) {
        key.head = load4(p);
        key.tail = load4(p + size - 4);
    } else if (size > 0) {
        key.head = static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[size / 2]) << 8 |
                   static_cast<unsigned char>(p[size - 1]) << 16;
    }
    std::uint64_t hash = mix(key.head ^ size, key.tail);
    for (size_t i = 8; i + 8 < size; i += 8) hash = mix(hash, load8(p + i));
    key.hash = static_cast<std::uint32_t>(hash ^ (hash >> 32));
    return key;
}

inline size_t WordTable::findSlot(std::string_view word, const Key& key) const {
    size_t mask = slots.size() - 1;
    for (size_t i = key.hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots[i];
        if (slot.count == 0) return i;
        if (slot.hash == key.hash && slot.head == key.head && slot.tail == key.tail &&
            slot.length == word.size() &&
            (word.size() <= 16 ||
             std::memcmp(arena.data() + slot.offset, word.data(), word.size()) == 0))
            return i;
    }
}

inline void WordTable::add(std::string_view word, std::int64_t count) {
    if ((used + 1) * 2 > slots.size()) grow();
    Key key = keyFor(word);
    Slot& slot = slots[findSlot(word, key)];
    if (slot.count != 0) {
        slot.count += count;
        return;
    }
    // Offsets and lengths are 32-bit to keep slots small; a table that outgrows them fails the
    // run rather than mixing up words.
    if (arena.size() + word.size() > UINT32_MAX) throw std::length_error("word table full");
    slot = Slot{key.head,
                key.tail,
                count,
                key.hash,
                static_cast<std::uint32_t>(word.size()),
                static_cast<std::uint32_t>(arena.size())};
    arena.append(word);
    ++used;
}
