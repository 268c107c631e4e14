#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Counts per byte string in one open-addressing hash table whose keys live in a single arena,
// so counting a word that is already known allocates nothing.
class WordTable {
  public:
    void add(std::string_view word, std::int64_t count);
    std::int64_t countOf(std::string_view word) const;
    size_t size() const { return used; }

    template <class Visit> void forEach(Visit visit) const {
        for (const Slot& slot : slots)
            if (slot.count != 0) visit(keyOf(slot), slot.count);
    }

  private:
    struct Slot {
        std::uint64_t hash;
        size_t offset;
        size_t length;
        std::int64_t count; // 0 marks a free slot
    };

    std::string_view keyOf(const Slot& slot) const {
        return {arena.data() + slot.offset, slot.length};
    }
    size_t findSlot(std::string_view word, std::uint64_t hash) const;
    void grow();

    std::vector<Slot> slots;
    std::string arena;
    size_t used = 0;
};

std::uint64_t hashBytes(std::string_view bytes);
