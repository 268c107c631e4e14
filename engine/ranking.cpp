#include "keyword_engine.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace {

struct RankedWord {
    std::int64_t count;
    std::uint64_t prefix;
    const WordTable::Entry* entry;
};

// The first eight bytes of a word as a big-endian number, padded with zeros. Words hold no zero
// byte, so comparing prefixes orders words as their bytes do wherever the prefixes differ; the
// sort then rarely has to reach into the words themselves.
std::uint64_t orderPrefix(std::string_view word) {
    std::uint64_t prefix = 0;
    for (size_t i = 0; i < 8; ++i)
        prefix = prefix << 8 | (i < word.size() ? static_cast<unsigned char>(word[i]) : 0u);
    return prefix;
}

} // namespace

// Orders the counted words by count, highest first, and among equal counts by unsigned byte order,
// greatest first; writes every word that reaches minimumCounts to keyword.log and hands the first
// keywordCounts of them to the window.
void KeywordEngine::buildRanking() {
    const std::vector<WordTable::Entry>& entries = wordCounts.releaseIndex();
    std::vector<RankedWord> ranking;
    ranking.reserve(entries.size());
    for (const WordTable::Entry& entry : entries)
        if (entry.count != 0 && entry.count >= minimumCounts)
            ranking.push_back({entry.count, orderPrefix(wordCounts.wordOf(entry)), &entry});
    std::sort(ranking.begin(), ranking.end(), [this](const RankedWord& a, const RankedWord& b) {
        if (a.count != b.count) return a.count > b.count;
        if (a.prefix != b.prefix) return a.prefix > b.prefix;
        return wordCounts.wordOf(*a.entry) > wordCounts.wordOf(*b.entry);
    });

    int rows = std::min(keywordCounts, maxTopWords);
    line.clear();
    for (size_t i = 0; i < ranking.size(); ++i) {
        std::string_view word = wordCounts.wordOf(*ranking[i].entry);
        if (static_cast<std::int64_t>(i) < rows) {
            topWords[i] = word;
            topCounts[i] = ranking[i].count;
        }
        appendLogLine(ranking[i].count, word);
    }
    writeOutput(line);
}

// Lines are gathered and written a large piece at a time: a big log has millions of them.
void KeywordEngine::appendLogLine(std::int64_t count, std::string_view word) {
    constexpr size_t pieceSize = 64 * 1024;
    char digits[24];
    line.append(digits, std::to_chars(digits, digits + sizeof digits, count).ptr);
    line += " : ";
    line += word;
    line += "\r\n";
    if (line.size() >= pieceSize) {
        writeOutput(line);
        line.clear();
    }
}
