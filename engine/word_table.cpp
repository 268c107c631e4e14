#include "word_table.h"

#include <algorithm>

// Grows before the words are looked up, so that slots found for them stay where they are.
void WordTable::makeRoomFor(size_t newWords) {
    if ((shortWordCount + newWords) * 10 > shortSlots.size() * 7) growShortSlots();
    if ((entries.size() + newWords) * 10 > longSlots.size() * 7) growLongSlots();
}

void WordTable::growShortSlots() {
    std::vector<ShortSlot> old = std::move(shortSlots);
    shortSlots.assign(old.empty() ? 1024 : old.size() * 2, ShortSlot{freeSlot, 0});
    shortShift = 64;
    for (size_t size = shortSlots.size(); size > 1; size /= 2) --shortShift;
    for (const ShortSlot& slot : old)
        if (slot.key != freeSlot) findShortSlot(slot.key) = slot;
}

void WordTable::growLongSlots() {
    std::vector<std::uint64_t> old = std::move(longSlots);
    longSlots.assign(old.empty() ? 1024 : old.size() * 2, freeSlot);
    size_t mask = longSlots.size() - 1;
    for (std::uint64_t slot : old) {
        if (slot == freeSlot) continue;
        size_t i = (slot >> 32) & mask;
        while (longSlots[i] != freeSlot) i = (i + 1) & mask;
        longSlots[i] = slot;
    }
}

void WordTable::addOneToEach(const std::vector<std::string_view>& words) {
    makeRoomFor(words.size());
    keysOrHashes.clear();
    for (std::string_view word : words) {
        if (isShort(word)) {
            std::uint64_t key = keyOf(word);
            keysOrHashes.push_back(key);
            __builtin_prefetch(&shortSlots[shortSlotOf(key)]);
        } else {
            std::uint32_t hash = hashOf(word);
            keysOrHashes.push_back(hash);
            __builtin_prefetch(&longSlots[hash & (longSlots.size() - 1)]);
        }
    }
    for (size_t i = 0; i < words.size(); ++i) {
        if (isShort(words[i]))
            addShort(keysOrHashes[i], 1);
        else
            addLong(words[i], 1, static_cast<std::uint32_t>(keysOrHashes[i]));
    }
}

bool WordTable::rankedBefore(const ShortSlot& a, const Entry& b) {
    if (a.count != b.count) return a.count > b.count;
    return a.key > b.prefix; // with equal prefixes the entry's word is the longer
}

void WordTable::rank(std::int64_t minimum) {
    std::int64_t least = std::max<std::int64_t>(minimum, 1);
    std::vector<std::uint64_t>().swap(longSlots);

    auto shortEnd = std::remove_if(shortSlots.begin(), shortSlots.end(),
                                   [least](const ShortSlot& slot) { return slot.count < least; });
    shortWordCount = shortEnd - shortSlots.begin();
    std::sort(shortSlots.begin(), shortEnd, [](const ShortSlot& a, const ShortSlot& b) {
        return a.count != b.count ? a.count > b.count : a.key > b.key;
    });

    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [least](const Entry& entry) { return entry.count < least; }),
                  entries.end());
    std::sort(entries.begin(), entries.end(), [this](const Entry& a, const Entry& b) {
        if (a.count != b.count) return a.count > b.count;
        if (a.prefix != b.prefix) return a.prefix > b.prefix;
        return wordOf(a) > wordOf(b);
    });
}
