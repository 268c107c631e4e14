#include "ranking.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// The log's lines, composed in place and written a large piece at a time: a big log has millions
// of them, and appending each of their four parts to a string costs more than composing them.
class LogLines {
  public:
    explicit LogLines(OutputFile& log) : log(log), buffer(pieceSize + lineRoom) {}

    void add(std::int64_t count, std::string_view word) {
        if (buffer.size() - used < word.size() + lineRoom) {
            flush();
            if (buffer.size() < word.size() + lineRoom) buffer.resize(word.size() + lineRoom);
        }
        char* out = buffer.data() + used;
        out = std::to_chars(out, out + countRoom, count).ptr;
        std::memcpy(out, " : ", 3);
        std::memcpy(out + 3, word.data(), word.size());
        std::memcpy(out + 3 + word.size(), "\r\n", 2);
        used = out + 3 + word.size() + 2 - buffer.data();
        if (used >= pieceSize) flush();
    }

    void flush() {
        log.write({buffer.data(), used});
        used = 0;
    }

  private:
    static constexpr size_t pieceSize = 64 * 1024;
    static constexpr size_t countRoom = 20;           // the digits of any count
    static constexpr size_t lineRoom = countRoom + 5; // and " : " and CR LF around the word

    OutputFile& log;
    std::vector<char> buffer;
    size_t used = 0;
};

} // namespace

// A word of a table counted from one file was counted in that one file.
void writeRanking(WordShards&& counts, const KeywordRunOptions& options, OutputFile& log,
                  std::vector<RankingRow>& rows, CsvTable& table, WordTable* ranked) {
    WordRanking ranking(std::move(counts), options.minimumCount, options.jobs);
    size_t rowCount = static_cast<size_t>(std::clamp(options.rows, 0, maxKeywordRows));
    LogLines lines(log);
    ranking.forEach([&](std::string_view word, std::int64_t count, std::int64_t files) {
        if (rows.size() < rowCount) rows.push_back({count, std::string(word)});
        lines.add(count, word);
        if (table.isOpen())
            table.addRow(
                {word, std::to_string(count), std::to_string(std::max<std::int64_t>(files, 1))});
        if (ranked) ranked->add(word, count);
    });
    lines.flush();
}
