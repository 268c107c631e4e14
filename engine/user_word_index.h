#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

// An indexed word found in a text: its number and the byte where it starts.
struct UserWordOccurrence {
    std::uint32_t number;
    std::uint32_t start;
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
    // 8 bytes, a node's own byte in it: looking for a child reads the children side by side, and
    // the one found is then in the cache for the next step of the walk.
    struct Node {
        std::uint32_t firstChild; // the children are firstChild .. firstChild + childCount - 1
        std::uint16_t childCount;
        unsigned char label; // the byte that leads to the node
        bool endsWords;      // whether words end here: their numbers are in wordNumbers
    };
    static constexpr std::uint32_t none = 0; // the root is nobody's child

    std::uint32_t childOf(std::uint32_t node, unsigned char byte) const;

    std::vector<Node> nodes;
    // The numbers of the words that end at node n are wordNumbers[numberStarts[n]] up to
    // wordNumbers[numberStarts[n + 1]], read only where some end.
    std::vector<std::uint32_t> numberStarts;
    std::vector<std::uint32_t> wordNumbers;
    std::array<std::uint32_t, 256> firstByteNodes{}; // the root's child for each byte
    std::vector<std::uint32_t> firstPairNodes;       // the node reached by each first two bytes
};
