#include "word_table.h"

#include <cstring>

std::uint64_t hashBytes(std::string_view bytes) {
    constexpr std::uint64_t multiplier = 0x9E3779B97F4A7C15ull;
    std::uint64_t hash = bytes.size() * multiplier;
    size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t chunk;
        std::memcpy(&chunk, bytes.data() + i, 8);
        hash = (hash ^ chunk) * multiplier;
        hash ^= hash >> 29;
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, bytes.data() + i, bytes.size() - i);
    hash = (hash ^ tail) * multiplier;
    return hash ^ (hash >> 32);
}

size_t WordTable::findSlot(std::string_view word, std::uint64_t hash) const {
    size_t mask = slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots[i];
        if (slot.count == 0 || (slot.hash == hash && keyOf(slot) == word)) return i;
    }
}

void WordTable::grow() {
    std::vector<Slot> old = std::move(slots);
    slots.assign(old.empty() ? 1024 : old.size() * 2, Slot{0, 0, 0, 0});
    size_t mask = slots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.count == 0) continue;
        size_t i = slot.hash & mask;
        while (slots[i].count != 0) i = (i + 1) & mask;
        slots[i] = slot;
    }
}

void WordTable::add(std::string_view word, std::int64_t count) {
    if ((used + 1) * 2 > slots.size()) grow();
    std::uint64_t hash = hashBytes(word);
    Slot& slot = slots[findSlot(word, hash)];
    if (slot.count != 0) {
        slot.count += count;
        return;
    }
    slot = Slot{hash, arena.size(), word.size(), count};
    arena.append(word);
    ++used;
}

std::int64_t WordTable::countOf(std::string_view word) const {
    if (slots.empty()) return 0;
    return slots[findSlot(word, hashBytes(word))].count;
}
