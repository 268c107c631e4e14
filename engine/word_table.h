#pragma once

#include "large_pages.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

// Counts per byte string, kept compact because a large file holds millions of distinct words.
// Words hold no zero byte. Nine in ten words of a text are at most eight bytes long: those and the
// longer ones are kept in two tables of their own, behind the WordTable that merges them.

// The total of several files is kept in shards by up to three bits of the words' hashes, a
// WordTable each: the jobs of a run add their files to it a shard at a time, each shard under a
// lock of its own, and its shards are ranked on several threads. A table finds a word's slot by
// other bits. A run has a shard per job, to a power of two: more shards would hold the same words
// in more and smaller tables, each growing through all the sizes below a large page.
constexpr size_t maxShards = 8;
inline size_t shardsFor(int jobs) {
    size_t shards = 1;
    while (shards < maxShards && shards < static_cast<size_t>(jobs)) shards *= 2;
    return shards;
}

// In the total of several files, a word's count also holds above bit 40 the number of files it
// was counted in: a field of its own would make every slot half as large again. A table counted
// from one file holds no number of files: added to another, each of its words counts one file.
constexpr int filesShift = 40;
inline std::int64_t countPart(std::int64_t value) {
    return value & ((std::int64_t{1} << filesShift) - 1);
}
inline std::int64_t filesPart(std::int64_t value) {
    return value >> filesShift;
}
inline std::int64_t withFiles(std::int64_t value) {
    return filesPart(value) == 0 ? value + (std::int64_t{1} << filesShift) : value;
}

// The counted words of one table split by shard, to be added to a total a shard at a time. A long
// word's bytes stay in the table it was split from.
struct ShardedWords { // its words made in place, as a WordSpan is (counting_thread.h)
    struct ShortWord {
        ShortWord(std::uint64_t key, std::int64_t count) : key(key), count(count) {}
        std::uint64_t key;
        std::int64_t count;
    };
    struct LongWord {
        LongWord(std::string_view word, std::int64_t count, std::uint32_t hash)
            : word(word), count(count), hash(hash) {}
        std::string_view word;
        std::int64_t count;
        std::uint32_t hash;
    };
    size_t shards = 1; // in use, a power of two
    std::array<std::vector<ShortWord>, maxShards> shortWords;
    std::array<std::vector<LongWord>, maxShards> longWords;
};

// What a table that keeps notes asks of its owner as a shard's words are added to it.
class WordNotes {
  public:
    virtual std::uint32_t noteOf(std::string_view word) = 0; // for a word new to the table
    virtual void take(std::uint32_t note) = 0;               // for every word added, its note

  protected:
    ~WordNotes() = default;
};

// Words of one to eight bytes. Such a word is its own key: its bytes packed big-endian into 64
// bits and padded with zeros, kept with its count in one 16-byte slot, so counting it touches a
// single cache line and no word bytes elsewhere.
class ShortWordTable {
  public:
    static constexpr size_t maxLength = 8;
    static bool holds(std::string_view word) { return !word.empty() && word.size() <= maxLength; }

    // Bits of the hash below those that find the slot, in a table of fewer than 2^32 slots.
    static size_t shardOf(std::uint64_t key, size_t shards) {
        return (scrambled(key) >> 29) & (shards - 1);
    }
    // By the word's key (see word_table.cpp). The lookups are inline for addOneToEach, the one
    // caller for which their speed counts, and defined beside it.
    void makeRoomFor(size_t newWords);
    inline void prefetch(std::uint64_t key) const;
    // Returns the number of the word's slot, and whether the word is new to the table.
    inline std::pair<size_t, bool> add(std::uint64_t key, std::int64_t count);
    inline std::int64_t countOf(std::uint64_t key) const;
    size_t size() const { return wordCount; }
    template <class Update> void updateCounts(size_t part, size_t parts, Update update);
    void splitInto(ShardedWords& split) const;
    void addAll(const ShardedWords::ShortWord* words, size_t count, WordNotes* notes);
    void clear();
    void keepNotes();
    void dropNotes();
    template <class Update> void updateNotedCounts(Update update);

    // Keeps the words counted at least `least` times, ordered by count, highest first, and among
    // equal counts by greater key; the index is given up.
    void rank(std::int64_t least);
    std::uint64_t rankedKey(size_t i) const { return slots[i].key; }
    std::int64_t rankedCount(size_t i) const { return countPart(slots[i].count); }
    std::int64_t rankedFiles(size_t i) const { return filesPart(slots[i].count); }

    struct WordBytes { // a word unpacked from its key
        char bytes[maxLength];
        size_t size;
        std::string_view view() const { return {bytes, size}; }
    };
    static WordBytes wordOfKey(std::uint64_t key);

  private:
    struct Slot {
        std::uint64_t key; // 0 when free: no word is empty
        std::int64_t count;
    };
    static constexpr std::uint64_t freeKey = 0;

    static std::uint64_t scrambled(std::uint64_t key) { return key * 0x9E3779B97F4A7C15ull; }
    size_t slotOf(std::uint64_t key) const { return scrambled(key) >> shift; }
    inline const Slot& find(std::uint64_t key) const;
    inline Slot& find(std::uint64_t key);
    void addNoted(std::uint64_t key, std::int64_t count, WordNotes& notes);
    void growTo(size_t slotCount);
    void setShift();

    LargeVector<Slot> slots; // a power of two in size, or empty
    size_t wordCount = 0;
    int shift = 64; // 64 - log2 of the number of slots
    bool keepsNotes = false;
    LargeVector<std::uint32_t> notes; // beside the slots, where notes are kept
};

// Words of more than eight bytes. Each has a record in an arena of 2 MiB chunks, a large page each
// (its count, its length and its bytes, so that counting it touches one place), found through an
// open-addressing index of 8-byte slots (the word's hash and the record's reference). The chunks
// never move, so growing the arena copies nothing.
class LongWordTable {
  public:
    // A table never has so many slots that the hash's bits that find a slot reach the shard's.
    static size_t shardOf(std::uint32_t hash, size_t shards) { return (hash >> 29) & (shards - 1); }
    // With the word's hash (see word_table.cpp); inline for addOneToEach, as above.
    void makeRoomFor(size_t newWords);
    inline void prefetch(std::uint32_t hash) const;
    inline void prefetchRecord(std::uint32_t hash) const; // once its slot is fetched
    // Returns the word's record, and whether the word is new to the table.
    inline std::pair<char*, bool> add(std::string_view word, std::int64_t count,
                                      std::uint32_t hash);
    inline std::int64_t countOf(std::string_view word, std::uint32_t hash) const;
    size_t size() const { return wordCount; }
    template <class Update> void updateCounts(size_t part, size_t parts, Update update);
    void splitInto(ShardedWords& split) const;
    void addAll(const ShardedWords::LongWord* words, size_t count, WordNotes* notes);
    void clear();
    void keepNotes();
    template <class Update> void updateNotedCounts(Update update);

    // Keeps the words counted at least `least` times, ordered by count, highest first, and among
    // equal counts by greater byte order; the index is given up.
    void rank(std::int64_t least);
    size_t rankedSize() const { return ranked.size(); }
    // The first eight bytes of the i-th ranked word as a short word's key.
    std::uint64_t rankedPrefix(size_t i) const { return ranked[i].prefix; }
    std::int64_t rankedCount(size_t i) const { return countOf(ranked[i]); }
    std::int64_t rankedFiles(size_t i) const { return filesPart(countAt(recordAt(ranked[i].ref))); }
    std::string_view rankedWord(size_t i) const { return wordAt(recordAt(ranked[i].ref)); }
    void prefetchRanked(size_t i) const { __builtin_prefetch(recordAt(ranked[i].ref)); }

  private:
    // A record is found by chunk number << chunkBits | its place in the chunk.
    using RecordRef = std::uint32_t;
    struct Chunk {
        LargeBlock bytes;
        size_t used;
    };
    // 16 bytes: the count is cut to 32 bits, and read from the record only when it is that big.
    // Made in place, as a WordSpan is.
    struct RankedRecord {
        RankedRecord(std::uint64_t prefix, RecordRef ref, std::uint32_t cutCount)
            : prefix(prefix), ref(ref), cutCount(cutCount) {}
        std::uint64_t prefix; // orders records without the arena
        RecordRef ref;
        std::uint32_t cutCount;
    };

    static constexpr std::uint64_t freeSlot = 0;
    static constexpr int chunkBits = 21;
    static constexpr size_t chunkSize = size_t{1} << chunkBits;
    static constexpr size_t maxChunks = 2047; // so that a reference + 1 fits 32 bits
    static constexpr size_t countSize = 8;
    static constexpr size_t noteAt = countSize + 4; // count, then length, then any note

    // Records are read and written in place by the templates below, hence inline.
    static std::int64_t countAt(const char* record) {
        std::int64_t count;
        std::memcpy(&count, record, sizeof count);
        return count;
    }
    static void setCountAt(char* record, std::int64_t count) {
        std::memcpy(record, &count, sizeof count);
    }
    std::string_view wordAt(const char* record) const {
        std::uint32_t length;
        std::memcpy(&length, record + countSize, sizeof length);
        return {record + headerSize, length};
    }
    static std::uint32_t noteOf(const char* record) {
        std::uint32_t note;
        std::memcpy(&note, record + noteAt, sizeof note);
        return note;
    }
    static void setNoteAt(char* record, std::uint32_t note) {
        std::memcpy(record + noteAt, &note, sizeof note);
    }
    char* recordAt(RecordRef ref) const {
        return chunks[ref >> chunkBits].bytes.get() + (ref & (chunkSize - 1));
    }
    std::int64_t countOf(const RankedRecord& record) const {
        return record.cutCount < UINT32_MAX ? record.cutCount
                                            : countPart(countAt(recordAt(record.ref)));
    }

    inline const std::uint64_t* find(std::string_view word, std::uint32_t hash) const;
    inline std::uint64_t* find(std::string_view word, std::uint32_t hash);
    RecordRef appendRecord(std::string_view word, std::int64_t count);
    void addNoted(std::string_view word, std::int64_t count, std::uint32_t hash, WordNotes& notes);
    void growTo(size_t slotCount);
    void collectRanked(std::int64_t least);
    void sortRanked(LargeVector<RankedRecord>::iterator first,
                    LargeVector<RankedRecord>::iterator last) const;

    LargeVector<std::uint64_t> slots; // hash << 32 | reference + 1, never freeSlot if used
    std::vector<Chunk> chunks;
    size_t wordCount = 0;
    size_t headerSize = noteAt;       // with a note where notes are kept
    LargeVector<RankedRecord> ranked; // filled by rank()
};

class WordRanking;

// The words being counted. Once counted they are ranked, which gives the table up for a
// WordRanking: a table can only be counted into, a ranking only read.
class WordTable {
  public:
    void add(std::string_view word, std::int64_t count);
    // Adds 1 for each of `count` words, at most lookupGroupSize. Their slots are fetched from
    // memory together before any is compared, so their cache misses overlap instead of queueing;
    // a group's slots stay in the first-level cache between fetch and use. The eight bytes from
    // the start of each word must be readable, as they are in the sentence reader's buffers.
    static constexpr size_t lookupGroupSize = 32;
    void addOneToEach(const std::string_view* words, size_t count);
    std::int64_t countOf(std::string_view word) const;
    // Grows the table, where it must, so that `newWords` more words fit without growing it.
    void makeRoomFor(size_t newWords);
    size_t size() const { return shortWords.size() + longWords.size(); }
    // Puts every word that was counted into the shard of its hash, of `shards`.
    void splitInto(ShardedWords& split, size_t shards) const;
    // Adds the counts and numbers of files of one shard's words, the short ones then the long
    // ones, from the `from`-th on and at most `most` of them; returns the number of the first left.
    // Their lookups are grouped as in addOneToEach. Where the table keeps notes, `notes` is asked
    // for those of the new words.
    size_t addShard(const ShardedWords& split, size_t shard, size_t from = 0,
                    size_t most = SIZE_MAX, WordNotes* notes = nullptr);
    // Forgets every word but keeps the memory, for the next file to be counted in.
    void clear();
    // Keeps a note of 32 bits beside each word, set as the word is first added by addShard: called
    // on an empty table. Once the notes are used, dropNotes gives up what memory it can.
    void keepNotes();
    void dropNotes();
    // Sets every count of a table that keeps notes to update(count, note).
    template <class Update> void updateNotedCounts(Update update) {
        shortWords.updateNotedCounts(update);
        longWords.updateNotedCounts(update);
    }

    // Sets every count of one share of the words, the part-th of `parts`, to update(word, count).
    // Different shares may be updated at the same time on different threads.
    template <class Update> void updateCounts(size_t part, size_t parts, Update update) {
        shortWords.updateCounts(part, parts, update);
        longWords.updateCounts(part, parts, update);
    }

  private:
    friend class WordRanking;

    ShortWordTable shortWords;
    LongWordTable longWords;
};

// A run's total: the words of one file all in the first table, or of several in their shards.
using WordShards = std::array<WordTable, maxShards>;
// The shard of `shards` that holds the word.
size_t shardOfWord(std::string_view word, size_t shards);

class WordRanking {
  public:
    // Orders the words counted at least `minimum` times, and at least once, by count, highest
    // first, and among equal counts by unsigned byte order, greatest first; on up to `threads`
    // threads.
    WordRanking(WordShards&& shards, std::int64_t minimum, int threads);

    // Calls visit(word, count, files) for each ranked word in order; files is 0 where the table
    // was counted from one file.
    template <class Visit> void forEach(Visit visit) const;

  private:
    // The next word of one source: the short words of a shard (sources 0 to maxShards - 1) or its
    // long words (the next maxShards), for merging them all into one order.
    struct Head {
        std::int64_t count;
        std::uint64_t prefix; // a short word's key, or a long word's first eight bytes as one
        size_t source;
    };
    void headOf(size_t source, size_t next, Head& head) const;
    bool precedes(const Head& a, const Head& b, const size_t* next) const;

    WordShards shards;
};

template <class Update>
void ShortWordTable::updateCounts(size_t part, size_t parts, Update update) {
    for (size_t i = slots.size() * part / parts; i < slots.size() * (part + 1) / parts; ++i) {
        Slot& slot = slots[i];
        if (slot.key != freeKey) slot.count = update(wordOfKey(slot.key).view(), slot.count);
    }
}

template <class Update> void ShortWordTable::updateNotedCounts(Update update) {
    for (size_t i = 0; i < slots.size(); ++i)
        if (slots[i].key != freeKey) slots[i].count = update(slots[i].count, notes[i]);
}

template <class Update> void LongWordTable::updateNotedCounts(Update update) {
    for (Chunk& chunk : chunks) {
        for (size_t at = 0; at < chunk.used; at += headerSize + wordAt(&chunk.bytes[at]).size()) {
            char* record = &chunk.bytes[at];
            setCountAt(record, update(countAt(record), noteOf(record)));
        }
    }
}

// The records of one share of the chunks.
template <class Update> void LongWordTable::updateCounts(size_t part, size_t parts, Update update) {
    for (size_t number = chunks.size() * part / parts; number < chunks.size() * (part + 1) / parts;
         ++number) {
        Chunk& chunk = chunks[number];
        for (size_t at = 0; at < chunk.used; at += headerSize + wordAt(&chunk.bytes[at]).size()) {
            char* record = &chunk.bytes[at];
            setCountAt(record, update(wordAt(record), countAt(record)));
        }
    }
}

// A source whose words are all visited has a head of count -1, which every other precedes.
inline void WordRanking::headOf(size_t source, size_t next, Head& head) const {
    const WordTable& shard = shards[source % maxShards];
    if (source < maxShards)
        head = next == shard.shortWords.size() ? Head{-1, 0, source}
                                               : Head{shard.shortWords.rankedCount(next),
                                                      shard.shortWords.rankedKey(next), source};
    else
        head = next == shard.longWords.rankedSize()
                   ? Head{-1, 0, source}
                   : Head{shard.longWords.rankedCount(next), shard.longWords.rankedPrefix(next),
                          source};
}

// With equal counts and prefixes, a long word is the greater; two long words are told apart by
// their bytes, and two short ones never have the same key.
inline bool WordRanking::precedes(const Head& a, const Head& b, const size_t* next) const {
    if (a.count != b.count || a.count < 0) return a.count > b.count;
    if (a.prefix != b.prefix) return a.prefix > b.prefix;
    bool aIsLong = a.source >= maxShards;
    if (aIsLong != (b.source >= maxShards)) return aIsLong;
    return shards[a.source % maxShards].longWords.rankedWord(next[a.source]) >
           shards[b.source % maxShards].longWords.rankedWord(next[b.source]);
}

// Each shard's short words and long words are in ranked order; the next word is the first of their
// heads. The heads of the sources that hold words play a knock-out tournament, each match won by
// the head that precedes; every match keeps its loser. Once the champion is visited, its next head
// plays again only the losers on its way to the final, one comparison a round. A run over one file
// has two sources, and only the final.
template <class Visit> void WordRanking::forEach(Visit visit) const {
    constexpr size_t sources = 2 * maxShards; // short words of each shard, then long words
    size_t next[sources] = {};
    Head heads[sources]; // by player: the sources that hold words, then empty ones up to `players`
    size_t players = 0;
    for (size_t source = 0; source < sources; ++source) {
        headOf(source, 0, heads[players]);
        if (heads[players].count >= 0) ++players;
    }
    if (players == 0) return;
    const size_t holding = players;
    players = 2; // at least one match, the final
    while (players < holding) players *= 2;
    for (size_t player = holding; player < players; ++player) heads[player] = {-1, 0, 0};
    // Match m, 1 to players - 1, is played by the winners of 2m and 2m + 1; "match" players + p
    // is player p itself.
    size_t winners[2 * sources];
    size_t losers[sources];
    for (size_t player = 0; player < players; ++player) winners[players + player] = player;
    for (size_t match = players - 1; match >= 1; --match) {
        size_t a = winners[2 * match];
        size_t b = winners[2 * match + 1];
        bool bWins = precedes(heads[b], heads[a], next);
        winners[match] = bWins ? b : a;
        losers[match] = bWins ? a : b;
    }
    for (size_t player = winners[1]; heads[player].count >= 0;) {
        size_t source = heads[player].source;
        const WordTable& shard = shards[source % maxShards];
        size_t i = next[source]++;
        if (source < maxShards) {
            visit(ShortWordTable::wordOfKey(shard.shortWords.rankedKey(i)).view(),
                  shard.shortWords.rankedCount(i), shard.shortWords.rankedFiles(i));
        } else {
            // Records lie all over the arena; one a little further on is fetched meanwhile.
            constexpr size_t fetchAhead = 16;
            if (i + fetchAhead < shard.longWords.rankedSize())
                shard.longWords.prefetchRanked(i + fetchAhead);
            visit(shard.longWords.rankedWord(i), shard.longWords.rankedCount(i),
                  shard.longWords.rankedFiles(i));
        }
        headOf(source, next[source], heads[player]);
        for (size_t match = (players + player) / 2; match >= 1; match /= 2)
            if (precedes(heads[losers[match]], heads[player], next))
                std::swap(player, losers[match]);
    }
}
