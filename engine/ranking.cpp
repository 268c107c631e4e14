#include "keyword_run.h"

#include <algorithm>
#include <charconv>
#include <utility>
#include <vector>

// Orders the counted words by count, highest first, and among equal counts by unsigned byte order,
// greatest first; writes every word that reaches the minimum count to keyword.log and hands the
// first options.rows of them (at most maxKeywordRows) to the rows.
void KeywordRun::buildRanking(OutputFile& log, std::vector<RankingRow>& rows) {
    WordRanking ranking = std::move(wordCounts).rank(options.minimumCount);
    size_t rowCount = static_cast<size_t>(std::clamp(options.rows, 0, maxKeywordRows));
    line.clear();
    ranking.forEach([&](std::string_view word, std::int64_t count) {
        if (rows.size() < rowCount) rows.push_back({count, std::string(word)});
        appendLogLine(count, word, log);
    });
    log.write(line);
}

// Lines are gathered and written a large piece at a time: a big log has millions of them.
void KeywordRun::appendLogLine(std::int64_t count, std::string_view word, OutputFile& log) {
    constexpr size_t pieceSize = 64 * 1024;
    char digits[24];
    line.append(digits, std::to_chars(digits, digits + sizeof digits, count).ptr);
    line += " : ";
    line += word;
    line += "\r\n";
    if (line.size() >= pieceSize) {
        log.write(line);
        line.clear();
    }
}
