#include "user_word_index.h"

#include "shift_jis.h"

#include <algorithm>
#include <cstring>
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
    wordNumbers.clear();

    nodes.push_back({0, 0, 0, 0, noWord});
    labels.assign(1, 0);
    wordRanges.push_back({0, static_cast<std::uint32_t>(sorted.size())});
    size_t depth = 0;
    size_t levelEnd = 1;
    for (size_t node = 0; node < nodes.size(); ++node) {
        if (node == levelEnd) {
            ++depth;
            levelEnd = nodes.size();
        }
        auto [i, end] = wordRanges[node];
        std::uint32_t ending = i;
        while (ending < end && words[sorted[ending]].size() == depth) ++ending;
        if (ending - i == 1) {
            nodes[node].words = sorted[i];
            nodes[node].ends = oneWord;
        } else if (ending - i > 1) {
            nodes[node].words = static_cast<std::uint32_t>(wordNumbers.size());
            nodes[node].ends = severalWords;
            wordNumbers.push_back(ending - i);
            wordNumbers.insert(wordNumbers.end(), sorted.begin() + i, sorted.begin() + ending);
        }
        i = ending;
        nodes[node].firstChild = static_cast<std::uint32_t>(nodes.size());
        while (i < end) {
            unsigned char byte = static_cast<unsigned char>(words[sorted[i]][depth]);
            std::uint32_t groupEnd = i + 1;
            while (groupEnd < end &&
                   static_cast<unsigned char>(words[sorted[groupEnd]][depth]) == byte)
                ++groupEnd;
            nodes.push_back({0, 0, 0, byte, noWord});
            labels.push_back(byte);
            wordRanges.push_back({i, groupEnd});
            i = groupEnd;
        }
        nodes[node].childCount = static_cast<std::uint16_t>(nodes.size() - nodes[node].firstChild);
    }

    longerPrefixes.assign((size_t{1} << prefixBits) / 64, 0);
    for (std::string_view word : words) {
        if (word.size() < 3) continue;
        const size_t bit = prefixBit(word, 0, std::min<size_t>(word.size(), 4));
        longerPrefixes[bit / 64] |= std::uint64_t{1} << (bit % 64);
    }
    firstByteNodes.fill(none);
    pairRows.fill(0);
    firstPairNodes.clear();
    const Node& root = nodes[0];
    for (std::uint32_t first = root.firstChild; first < root.firstChild + root.childCount;
         ++first) {
        const Node& node = nodes[first];
        firstByteNodes[node.label] = first;
        if (node.childCount == 0) continue;
        pairRows[node.label] = static_cast<std::uint32_t>(firstPairNodes.size() / 256 + 1);
        const size_t row = firstPairNodes.size();
        firstPairNodes.resize(row + 256, none);
        for (std::uint32_t second = node.firstChild; second < node.firstChild + node.childCount;
             ++second)
            firstPairNodes[row + nodes[second].label] =
                second | (nodes[second].ends != noWord ? pairEnds : 0);
    }
}

// Most nodes have a child or two, found among the nodes themselves.
std::uint32_t UserWordIndex::childOf(std::uint32_t node, unsigned char byte) const {
    const Node& parent = nodes[node];
    const std::uint32_t first = parent.firstChild;
    if (parent.childCount > manyChildren) {
        const void* child = std::memchr(&labels[first], byte, parent.childCount);
        return child ? first + static_cast<std::uint32_t>(static_cast<const unsigned char*>(child) -
                                                          &labels[first])
                     : none;
    }
    for (std::uint32_t child = first; child < first + parent.childCount; ++child)
        if (nodes[child].label == byte) return child;
    return none;
}

size_t UserWordIndex::prefixBit(std::string_view text, size_t start, size_t length) {
    std::uint64_t bytes = length;
    for (size_t i = start; i < start + length; ++i)
        bytes = bytes << 8 | static_cast<unsigned char>(text[i]);
    return static_cast<size_t>(bytes * 0x9E3779B97F4A7C15ull >> (64 - prefixBits));
}

// Whether a word of three bytes or more may start at `start` of text.
bool UserWordIndex::hasLongerWordsAt(std::string_view text, size_t start) const {
    auto isSet = [&](size_t bit) { return longerPrefixes[bit / 64] >> (bit % 64) & 1; };
    const size_t left = text.size() - start;
    return (left >= 3 && isSet(prefixBit(text, start, 3))) ||
           (left >= 4 && isSet(prefixBit(text, start, 4)));
}

void UserWordIndex::addWordsAt(const Node& node, size_t start, size_t end,
                               std::vector<UserWordOccurrence>& occurrences) const {
    const auto at = static_cast<std::uint32_t>(start);
    const auto length = static_cast<std::uint32_t>(end - start);
    if (node.ends == oneWord) {
        occurrences.emplace_back(node.words, at, length);
    } else {
        for (std::uint32_t i = node.words + 1; i <= node.words + wordNumbers[node.words]; ++i)
            occurrences.emplace_back(wordNumbers[i], at, length);
    }
}

void UserWordIndex::collectIn(std::string_view text, bool fromEveryByte,
                              std::vector<UserWordOccurrence>& occurrences) const {
    if (nodes.empty()) return;
    auto byteAt = [text](size_t i) { return static_cast<unsigned char>(text[i]); };
    for (size_t start = 0; start < text.size();
         start += fromEveryByte ? 1 : charLengthAt(text, start)) {
        // Most nodes only lead on to longer words.
        auto addWordsAt = [&](std::uint32_t node, size_t end) {
            if (nodes[node].ends != noWord) this->addWordsAt(nodes[node], start, end, occurrences);
        };
        const unsigned char first = byteAt(start);
        std::uint32_t node = firstByteNodes[first];
        if (node == none) continue;
        addWordsAt(node, start + 1);
        if (start + 1 == text.size() || pairRows[first] == 0) continue;
        const std::uint32_t pair = firstPairNodes[(pairRows[first] - 1) * 256 + byteAt(start + 1)];
        node = pair & ~pairEnds;
        if (pair & pairEnds) this->addWordsAt(nodes[node], start, start + 2, occurrences);
        if (node == none || !hasLongerWordsAt(text, start)) continue;
        for (size_t next = start + 2; next < text.size();) {
            node = childOf(node, byteAt(next++));
            if (node == none) break;
            addWordsAt(node, next);
        }
    }
}
