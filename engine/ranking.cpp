#include "keyword_engine.h"

#include <algorithm>
#include <vector>

// Orders the counted words by count, highest first, and among equal counts by unsigned byte order,
// greatest first; writes every word that reaches minimumCounts to keyword.log and hands the first
// keywordCounts of them to the window.
void KeywordEngine::buildRanking() {
    // The table is not searched any more: its entries are reordered in place.
    std::vector<WordTable::Entry>& entries = wordCounts.releaseIndex();
    auto rankedEnd = std::partition(entries.begin(), entries.end(), [this](const auto& entry) {
        return entry.count != 0 && entry.count >= minimumCounts;
    });
    std::sort(entries.begin(), rankedEnd, [this](const auto& a, const auto& b) {
        if (a.count != b.count) return a.count > b.count;
        return wordCounts.wordOf(a) > wordCounts.wordOf(b);
    });

    int rows = std::min(keywordCounts, maxTopWords);
    for (auto entry = entries.begin(); entry != rankedEnd; ++entry) {
        std::string_view word = wordCounts.wordOf(*entry);
        if (entry - entries.begin() < rows) {
            topWords[entry - entries.begin()] = word;
            topCounts[entry - entries.begin()] = entry->count;
        }
        line = std::to_string(entry->count);
        line += " : ";
        line += word;
        line += "\r\n";
        writeOutput(line);
    }
}
