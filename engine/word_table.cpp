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
