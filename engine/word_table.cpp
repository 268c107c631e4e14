#include "word_table.h"

#include "both_halves.h"

#include <algorithm>

// Grows before the words are looked up, so that slots found for them stay where they are.
void WordTable::makeRoomFor(size_t newWords) {
    if ((shortWordCount + newWords) * 10 > shortSlots.size() * 7) growShortSlots();
    if ((longWordCount + newWords) * 10 > longSlots.size() * 7) growLongSlots();
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

// A record never straddles two chunks; one too long for a chunk gets a chunk of its own size.
WordTable::RecordRef WordTable::appendRecord(std::string_view word, std::int64_t count) {
    size_t recordSize = headerSize + word.size();
    if (chunks.empty() || chunks.back().used + recordSize > chunkSize) {
        // References are 32-bit to keep the index small; a table that outgrows them fails the
        // run rather than mixing up words.
        if (chunks.size() == maxChunks || word.size() > UINT32_MAX)
            throw std::length_error("word table full");
        chunks.push_back({std::make_unique<char[]>(std::max(chunkSize, recordSize)), 0});
    }
    Chunk& chunk = chunks.back();
    char* record = &chunk.bytes[chunk.used];
    setCountAt(record, count);
    std::uint32_t length = static_cast<std::uint32_t>(word.size());
    std::memcpy(record + countSize, &length, sizeof length);
    std::memcpy(record + headerSize, word.data(), word.size());
    RecordRef ref = static_cast<RecordRef>((chunks.size() - 1) << chunkBits | chunk.used);
    chunk.used += recordSize;
    return ref;
}

void WordTable::addOneToEach(const std::string_view* words, size_t count) {
    makeRoomFor(count);
    std::uint64_t keysOrHashes[lookupGroupSize];
    for (size_t i = 0; i < count; ++i) {
        if (isShort(words[i])) {
            keysOrHashes[i] = keyOf(words[i]);
            __builtin_prefetch(&shortSlots[shortSlotOf(keysOrHashes[i])]);
        } else {
            keysOrHashes[i] = hashOf(words[i]);
            __builtin_prefetch(&longSlots[keysOrHashes[i] & (longSlots.size() - 1)]);
        }
    }
    for (size_t i = 0; i < count; ++i) {
        if (isShort(words[i]))
            addShort(keysOrHashes[i], 1);
        else
            addLong(words[i], 1, static_cast<std::uint32_t>(keysOrHashes[i]));
    }
}

// Words counted once are most of the long ones, and they rank after all others: they are sorted
// on a thread of their own while the short words and the other long ones are sorted on this one.
void WordTable::rank(std::int64_t minimum) {
    std::int64_t least = std::max<std::int64_t>(minimum, 1);
    std::vector<std::uint64_t>().swap(longSlots);
    collectRankedRecords(least);
    auto countedOnce =
        std::partition(rankedRecords.begin(), rankedRecords.end(),
                       [](const RankedRecord& record) { return record.cutCount > 1; });
    doBothHalves([&](int half) {
        if (half == 0) {
            rankShortWords(least);
            sortRecords(rankedRecords.begin(), countedOnce);
        } else {
            sortRecords(countedOnce, rankedRecords.end());
        }
    });
}

void WordTable::rankShortWords(std::int64_t least) {
    auto shortEnd = std::remove_if(shortSlots.begin(), shortSlots.end(),
                                   [least](const ShortSlot& slot) { return slot.count < least; });
    shortWordCount = shortEnd - shortSlots.begin();
    std::sort(shortSlots.begin(), shortEnd, [](const ShortSlot& a, const ShortSlot& b) {
        return a.count != b.count ? a.count > b.count : a.key > b.key;
    });
}

void WordTable::collectRankedRecords(std::int64_t least) {
    rankedRecords.clear();
    rankedRecords.reserve(longWordCount);
    for (size_t number = 0; number < chunks.size(); ++number) {
        for (size_t at = 0; at < chunks[number].used;) {
            const char* record = &chunks[number].bytes[at];
            std::string_view word = wordAt(record);
            std::int64_t count = countAt(record);
            if (count >= least)
                rankedRecords.push_back(
                    {keyOf(word.substr(0, maxShortLength)),
                     static_cast<RecordRef>(number << chunkBits | at),
                     static_cast<std::uint32_t>(std::min<std::int64_t>(count, UINT32_MAX))});
            at += headerSize + word.size();
        }
    }
}

void WordTable::sortRecords(std::vector<RankedRecord>::iterator first,
                            std::vector<RankedRecord>::iterator last) const {
    std::sort(first, last, [this](const RankedRecord& a, const RankedRecord& b) {
        if (a.cutCount != b.cutCount) return a.cutCount > b.cutCount;
        if (a.cutCount == UINT32_MAX && countOf(a) != countOf(b)) return countOf(a) > countOf(b);
        if (a.prefix != b.prefix) return a.prefix > b.prefix;
        return wordAt(recordAt(a.ref)) > wordAt(recordAt(b.ref));
    });
}
