#include "keyword_engine.h"

#include <algorithm>
#include <charconv>
#include <vector>

// Orders the counted words by count, highest first, and among equal counts by unsigned byte order,
// greatest first; writes every word that reaches minimumCounts to keyword.log and hands the first
// keywordCounts of them to the window.
void KeywordEngine::buildRanking() {
    wordCounts.rank(minimumCounts);
    int rows = std::min(keywordCounts, maxTopWords);
    int row = 0;
    line.clear();
    wordCounts.forEachRanked([&](std::string_view word, std::int64_t count) {
        if (row < rows) {
            topWords[row] = word;
            topCounts[row] = count;
            ++row;
        }
        appendLogLine(count, word);
    });
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
