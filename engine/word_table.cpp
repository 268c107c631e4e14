#include "word_table.h"

void WordTable::grow() {
    std::vector<Slot> old = std::move(slots);
    slots.assign(old.empty() ? 1024 : old.size() * 2, Slot{});
    size_t mask = slots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.count == 0) continue;
        size_t i = slot.hash & mask;
        while (slots[i].count != 0) i = (i + 1) & mask;
        slots[i] = slot;
    }
}

std::int64_t WordTable::countOf(std::string_view word) const {
    if (slots.empty()) return 0;
    return slots[findSlot(word, keyFor(word))].count;
}
