#include "word_table.h"

void WordTable::grow() {
    std::vector<std::uint64_t> old = std::move(slots);
    slots.assign(old.empty() ? 1024 : old.size() * 2, freeSlot);
    size_t mask = slots.size() - 1;
    for (std::uint64_t slot : old) {
        if (slot == freeSlot) continue;
        size_t i = (slot >> 32) & mask;
        while (slots[i] != freeSlot) i = (i + 1) & mask;
        slots[i] = slot;
    }
}

void WordTable::addOneToEach(const std::vector<std::string_view>& words) {
    if (slots.empty()) grow();
    size_t mask = slots.size() - 1;
    hashes.clear();
    for (std::string_view word : words) {
        std::uint32_t hash = hashOf(word);
        hashes.push_back(hash);
        __builtin_prefetch(&slots[hash & mask]);
    }
    for (std::uint32_t hash : hashes) {
        std::uint64_t slot = slots[hash & mask];
        if (slot != freeSlot && slot >> 32 == hash) {
            const Entry& entry = entries[(slot & 0xFFFFFFFFu) - 1];
            __builtin_prefetch(&entry, 1);
        }
    }
    for (std::uint32_t hash : hashes) {
        std::uint64_t slot = slots[hash & mask];
        if (slot != freeSlot && slot >> 32 == hash)
            __builtin_prefetch(arena.data() + entries[(slot & 0xFFFFFFFFu) - 1].offset);
    }
    for (size_t i = 0; i < words.size(); ++i) add(words[i], 1, hashes[i]);
}
