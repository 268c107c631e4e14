#include "word_table.h"

#include <cstring>

// Words are short, so the bytes are folded in whole 8-byte chunks and then one at a time, without a
// call to memcpy for the tail.
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
    for (; i < bytes.size(); ++i) tail = (tail << 8) | static_cast<unsigned char>(bytes[i]);
    hash = (hash ^ tail) * multiplier;
    return hash ^ (hash >> 32);
}

namespace {

bool sameBytes(const char* a, const char* b, size_t size) {
    if (size > 16) return std::memcmp(a, b, size) == 0;
    for (size_t i = 0; i < size; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

} // namespace

size_t WordTable::findSlot(std::string_view word, std::uint64_t hash) const {
    size_t mask = slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots[i];
        if (slot.count == 0) return i;
        if (slot.hash == hash && slot.length == word.size() &&
            sameBytes(arena.data() + slot.offset, word.data(), word.size()))
            return i;
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
