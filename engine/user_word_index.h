#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// An indexed word found in a text: its number, the byte where it starts and its length. Made in
// place, as a WordSpan is (counting_thread.h).
struct UserWordOccurrence {
    UserWordOccurrence(std::uint32_t number, std::uint32_t start, std::uint32_t length)
        : number(number), start(start), length(length) {}
    std::uint32_t number;
    std::uint32_t start;
    std::uint32_t length;
};

// The user words as a trie laid out flat, for finding those that occur in a word: from every
// character boundary of the word, or every byte, the trie is walked along the bytes that follow,
// and every user word met on the way occurs there. The nodes lie in breadth-first order, so a
// node's children are neighbours and their bytes lie side by side; the first two bytes of a walk
// are looked up in tables.
class UserWordIndex {
  public:
    // Indexes words[i] under the number i.
    void build(const std::vector<std::string_view>& words);
    // Appends every occurrence in text of an indexed word that starts on a character boundary of
    // text, or at any byte where `fromEveryByte`.
    void collectIn(std::string_view text, bool fromEveryByte,
                   std::vector<UserWordOccurrence>& occurrences) const;

  private:
    // 12 bytes, a node's own byte in it: looking for a child reads the children side by side, and
    // the one found is then in the cache for the next step of the walk, with the word that ends
    // there, if one does.
    struct Node {
        std::uint32_t firstChild; // the children are firstChild .. firstChild + childCount - 1
        std::uint32_t words;      // the number of the one word that ends here, or see Ends
        std::uint16_t childCount;
        unsigned char label; // the byte that leads to the node
        unsigned char ends;  // Ends
    };
    // How many words end at a node. Where several do (a word listed more than once), `words` is
    // where wordNumbers holds how many, then their numbers.
    enum Ends : unsigned char { noWord, oneWord, severalWords };
    static constexpr std::uint32_t none = 0; // the root is nobody's child
    // Past this many children, a node's child is found among their labels, side by side in one
    // cache line where the children's nodes would take several: after the first byte of a
    // double-byte character a node may have some sixty.
    static constexpr std::uint16_t manyChildren = 4;

    std::uint32_t childOf(std::uint32_t node, unsigned char byte) const;
    static size_t prefixBit(std::string_view text, size_t start, size_t length);
    bool hasLongerWordsAt(std::string_view text, size_t start) const;
    void addWordsAt(const Node& node, size_t start, size_t end,
                    std::vector<UserWordOccurrence>& occurrences) const;

    std::vector<Node> nodes;
    std::vector<unsigned char> labels; // of the nodes again
    std::vector<std::uint32_t> wordNumbers;
    std::array<std::uint32_t, 256> firstByteNodes{}; // the root's child for each byte
    // The node reached by each first two bytes: a row of 256 for each first byte that leads on,
    // so that the rows of the few lead bytes of a list's words lie close together.
    std::array<std::uint32_t, 256> pairRows{}; // by first byte: 1 + its row, or 0
    std::vector<std::uint32_t> firstPairNodes; // with pairEnds set where a word ends there
    static constexpr std::uint32_t pairEnds = std::uint32_t{1} << 31;
    // A bit for the first three bytes of every word of three, and the first four of every longer
    // one, by their hash: most walks that get past the first two bytes would go no further, and
    // a bit that is clear spares them the nodes, which lie all over the trie.
    static constexpr int prefixBits = 20;
    std::vector<std::uint64_t> longerPrefixes;
};
