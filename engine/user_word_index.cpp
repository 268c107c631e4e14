#include "user_word_index.h"

#include "shift_jis.h"

#include <algorithm>
#include <numeric>

// The words are sorted, so the words under a node form a range in which those that end at the node
// come first and the others are grouped by their next byte, one group per child. The nodes are
// made level by level, each with the range of the sorted words under it.
void UserWordIndex::build(const std::vector<std::string_view>& words) {
    std::vector<std::uint32_t> sorted(words.size());
    std::iota(sorted.begin(), sorted.end(), 0u);
    std::sort(sorted.begin(), sorted.end(),
              [&](std::uint32_t a, std::uint32_t b) { return words[a] < words[b]; });
    size_t mostNodes = 1;
    for (std::string_view word : words) mostNodes += word.size();
    struct WordRange {
        std::uint32_t first;
        std::uint32_t end;
    };
    std::vector<WordRange> wordRanges; // by node
    wordRanges.reserve(mostNodes);
    nodes.clear();
    nodes.reserve(mostNodes); // no copy as the trie grows: only the nodes made take memory
    numberStarts.clear();
    numberStarts.reserve(mostNodes + 1);
    wordNumbers.clear();

    nodes.push_back({0, 0, 0, false});
    wordRanges.push_back({0, static_cast<std::uint32_t>(sorted.size())});
    size_t depth = 0;
    size_t levelEnd = 1;
    for (size_t node = 0; node < nodes.size(); ++node) {
        if (node == levelEnd) {
            ++depth;
            levelEnd = nodes.size();
        }
        auto [i, end] = wordRanges[node];
        numberStarts.push_back(static_cast<std::uint32_t>(wordNumbers.size()));
        for (; i < end && words[sorted[i]].size() == depth; ++i) wordNumbers.push_back(sorted[i]);
        nodes[node].endsWords = wordNumbers.size() != numberStarts.back();
        nodes[node].firstChild = static_cast<std::uint32_t>(nodes.size());
        while (i < end) {
            unsigned char byte = static_cast<unsigned char>(words[sorted[i]][depth]);
            std::uint32_t groupEnd = i + 1;
            while (groupEnd < end &&
                   static_cast<unsigned char>(words[sorted[groupEnd]][depth]) == byte)
                ++groupEnd;
            nodes.push_back({0, 0, byte, false});
            wordRanges.push_back({i, groupEnd});
            i = groupEnd;
        }
        nodes[node].childCount = static_cast<std::uint16_t>(nodes.size() - nodes[node].firstChild);
    }
    numberStarts.push_back(static_cast<std::uint32_t>(wordNumbers.size()));

    firstByteNodes.fill(none);
    firstPairNodes.assign(256 * 256, none);
    const Node& root = nodes[0];
    for (std::uint32_t first = root.firstChild; first < root.firstChild + root.childCount;
         ++first) {
        firstByteNodes[nodes[first].label] = first;
        const Node& node = nodes[first];
        for (std::uint32_t second = node.firstChild; second < node.firstChild + node.childCount;
             ++second)
            firstPairNodes[nodes[first].label << 8 | nodes[second].label] = second;
    }
}

// Most nodes have a child or two, fewer than a call to memchr would pay for.
std::uint32_t UserWordIndex::childOf(std::uint32_t node, unsigned char byte) const {
    const Node& parent = nodes[node];
    for (std::uint32_t child = parent.firstChild; child < parent.firstChild + parent.childCount;
         ++child)
        if (nodes[child].label == byte) return child;
    return none;
}

void UserWordIndex::collectIn(std::string_view text, bool fromEveryByte,
                              std::vector<UserWordOccurrence>& occurrences) const {
    if (nodes.empty()) return;
    auto byteAt = [text](size_t i) { return static_cast<unsigned char>(text[i]); };
    size_t start = 0;
    auto addNumbersOf = [&](std::uint32_t node) {
        // Most nodes only lead on to longer words, and most of the others end one word.
        if (!nodes[node].endsWords) return;
        for (std::uint32_t i = numberStarts[node]; i < numberStarts[node + 1]; ++i)
            occurrences.push_back({wordNumbers[i], static_cast<std::uint32_t>(start)});
    };
    for (; start < text.size(); start += fromEveryByte ? 1 : charLengthAt(text, start)) {
        std::uint32_t node = firstByteNodes[byteAt(start)];
        if (node == none) continue;
        addNumbersOf(node);
        if (start + 1 == text.size()) break;
        node = firstPairNodes[byteAt(start) << 8 | byteAt(start + 1)];
        for (size_t next = start + 2; node != none; ++next) {
            addNumbersOf(node);
            if (next == text.size()) break;
            node = childOf(node, byteAt(next));
        }
    }
}
