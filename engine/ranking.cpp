#include "ranking.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>
#include <utility>

namespace {

// Lines are gathered and written a large piece at a time: a big log has millions of them.
void appendLogLine(std::int64_t count, std::string_view word, std::string& lines, OutputFile& log) {
    constexpr size_t pieceSize = 64 * 1024;
    char digits[24];
    lines.append(digits, std::to_chars(digits, digits + sizeof digits, count).ptr);
    lines += " : ";
    lines += word;
    lines += "\r\n";
    if (lines.size() >= pieceSize) {
        log.write(lines);
        lines.clear();
    }
}

} // namespace

// A word of a table counted from one file was counted in that one file.
void writeRanking(WordShards&& counts, const KeywordRunOptions& options, OutputFile& log,
                  std::vector<RankingRow>& rows, CsvTable& table, WordTable* ranked) {
    WordRanking ranking(std::move(counts), options.minimumCount, options.jobs);
    size_t rowCount = static_cast<size_t>(std::clamp(options.rows, 0, maxKeywordRows));
    std::string lines;
    ranking.forEach([&](std::string_view word, std::int64_t count, std::int64_t files) {
        files = std::max<std::int64_t>(files, 1);
        if (rows.size() < rowCount) rows.push_back({count, std::string(word), files});
        appendLogLine(count, word, lines, log);
        if (table.isOpen()) table.addRow({word, std::to_string(count), std::to_string(files)});
        if (ranked) ranked->add(word, count);
    });
    log.write(lines);
}
