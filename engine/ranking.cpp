#include "keyword_engine.h"

#include <algorithm>
#include <utility>
#include <vector>

// Orders the counted words by count, highest first, and among equal counts by unsigned byte order,
// greatest first; writes every word that reaches minimumCounts to keyword.log and hands the first
// keywordCounts of them to the window.
void KeywordEngine::buildRanking() {
    std::vector<std::pair<std::int64_t, std::string_view>> ranking;
    wordCounts.forEach([&](std::string_view word, std::int64_t count) {
        if (count >= minimumCounts) ranking.emplace_back(count, word);
    });
    std::sort(ranking.begin(), ranking.end(), [](const auto& a, const auto& b) { return a > b; });

    int rows = std::min(keywordCounts, maxTopWords);
    for (size_t i = 0; i < ranking.size(); ++i) {
        const auto& [count, word] = ranking[i];
        if (static_cast<std::int64_t>(i) < rows) {
            topWords[i] = word;
            topCounts[i] = count;
        }
        line = std::to_string(count);
        line += " : ";
        line += word;
        line += "\r\n";
        writeOutput(line);
    }
}
