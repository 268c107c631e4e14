#include "user_word_index.h"

#include <algorithm>

namespace {

struct NumberedWord {
    std::string_view word;
    std::uint32_t number;
};

// The words under a node while the trie is built: a range of the sorted words, and the depth.
struct Span {
    std::uint32_t first;
    std::uint32_t end;
    std::uint32_t depth;
};

} // namespace

// The words are sorted, so the words under a node form a range in which those that end at the node
// come first and the others are grouped by their next byte, one group per child.
void UserWordIndex::build(const std::vector<std::string_view>& words) {
    std::vector<NumberedWord> sorted;
    sorted.reserve(words.size());
    for (size_t i = 0; i < words.size(); ++i)
        sorted.push_back({words[i], static_cast<std::uint32_t>(i)});
    std::sort(sorted.begin(), sorted.end(),
              [](const NumberedWord& a, const NumberedWord& b) { return a.word < b.word; });

    nodes.assign(1, Node{});
    labels.assign(1, 0);
    wordNumbers.clear();
    std::vector<Span> spans{{0, static_cast<std::uint32_t>(sorted.size()), 0}};
    for (size_t node = 0; node < nodes.size(); ++node) {
        Span span = spans[node];
        std::uint32_t i = span.first;
        nodes[node].firstNumber = static_cast<std::uint32_t>(wordNumbers.size());
        for (; i < span.end && sorted[i].word.size() == span.depth; ++i)
            wordNumbers.push_back(sorted[i].number);
        nodes[node].numberCount =
            static_cast<std::uint32_t>(wordNumbers.size()) - nodes[node].firstNumber;
        nodes[node].firstChild = static_cast<std::uint32_t>(nodes.size());
        while (i < span.end) {
            char byte = sorted[i].word[span.depth];
            std::uint32_t groupEnd = i + 1;
            while (groupEnd < span.end && sorted[groupEnd].word[span.depth] == byte) ++groupEnd;
            nodes.push_back(Node{});
            labels.push_back(static_cast<unsigned char>(byte));
            spans.push_back({i, groupEnd, span.depth + 1});
            i = groupEnd;
        }
        nodes[node].childCount = static_cast<std::uint32_t>(nodes.size()) - nodes[node].firstChild;
    }

    firstByteNodes.fill(none);
    firstPairNodes.assign(256 * 256, none);
    const Node& root = nodes[0];
    for (std::uint32_t first = root.firstChild; first < root.firstChild + root.childCount;
         ++first) {
        firstByteNodes[labels[first]] = first;
        const Node& node = nodes[first];
        for (std::uint32_t second = node.firstChild; second < node.firstChild + node.childCount;
             ++second)
            firstPairNodes[labels[first] << 8 | labels[second]] = second;
    }
}

// Most nodes have a child or two, fewer than a call to memchr would pay for.
std::uint32_t UserWordIndex::childOf(std::uint32_t node, unsigned char byte) const {
    const Node& parent = nodes[node];
    for (std::uint32_t child = parent.firstChild; child < parent.firstChild + parent.childCount;
         ++child)
        if (labels[child] == byte) return child;
    return none;
}

void UserWordIndex::addNumbersOf(std::uint32_t node, std::vector<size_t>& numbers) const {
    const Node& found = nodes[node];
    if (found.numberCount == 0) return;
    auto first = wordNumbers.begin() + found.firstNumber;
    numbers.insert(numbers.end(), first, first + found.numberCount);
}

void UserWordIndex::collectIn(std::string_view text, std::vector<size_t>& numbers) const {
    if (nodes.empty()) return;
    auto byteAt = [text](size_t i) { return static_cast<unsigned char>(text[i]); };
    for (size_t start = 0; start < text.size(); ++start) {
        std::uint32_t node = firstByteNodes[byteAt(start)];
        if (node == none) continue;
        addNumbersOf(node, numbers);
        if (start + 1 == text.size()) break;
        node = firstPairNodes[byteAt(start) << 8 | byteAt(start + 1)];
        for (size_t next = start + 2; node != none; ++next) {
            addNumbersOf(node, numbers);
            if (next == text.size()) break;
            node = childOf(node, byteAt(next));
        }
    }
}
