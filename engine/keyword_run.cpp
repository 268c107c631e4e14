#include "csv_table.h"
#include "file_counting.h"
#include "keyword_engine.h"
#include "ranking.h"
#include "run_frame.h"
#include "word_cutter.h"
#include "word_tally.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

// Cuts one target into words and counts them; the one target of a run also has the lists applied,
// which a run over several files applies to its total.
RunResult countTarget(const char* path, const KeywordRunOptions& options, const WordTally& tally,
                      bool alone, FileCounting& counting, RunFailure& report) {
    return readTarget(path, report, [&](std::FILE* target) {
        RunResult result = WordCutter(options, counting.counts, counting.batches)
                               .cut(counting.reader, target, alone, report);
        if (result == RunResult::Done && alone)
            tally.apply(counting.counts, true, counting.scratches);
        return result;
    });
}

// The rows of one file: every ranked word counted in it, by its count in the file, highest first,
// and among equal counts by unsigned byte order, greatest first, as the ranking orders them.
std::string perFileRows(const TargetFile& file, WordTable& counts, const WordTable& ranked,
                        const CsvTable& table) {
    std::vector<std::pair<std::int64_t, std::string>> words;
    counts.updateCounts(0, 1, [&](std::string_view word, std::int64_t count) {
        if (count > 0 && ranked.countOf(word) != 0) words.emplace_back(count, word);
        return count;
    });
    std::sort(words.rbegin(), words.rend());
    std::string rows;
    for (const auto& [count, word] : words)
        rows += table.rowText({file.name, word, std::to_string(count)});
    return rows;
}

// The table of each file's words needs the ranking, which needs every file counted: the files
// that were used are counted once more, one after another in the order of the targets, so that
// memory holds one file's table at a time.
void writePerFileTable(const std::vector<TargetFile>& targets, const KeywordRunOptions& options,
                       const WordTally& tally, const std::vector<FileOutcome>& outcomes,
                       const WordTable& ranked, CsvTable& table) {
    FileCounting counting(SentenceReader(options.sentenceLimit, nullptr));
    for (size_t i = 0; i < targets.size(); ++i) {
        if (outcomes[i].result != RunResult::Done) continue;
        RunFailure unused;
        if (countTarget(targets[i].path.c_str(), options, tally, true, counting, unused) ==
            RunResult::Done)
            table.addRows(perFileRows(targets[i], counting.counts, ranked, table));
        counting.counts.clear();
    }
}

} // namespace

RunResult run(const std::vector<TargetFile>& targets, const char* logPath,
              KeywordRunOptions options, std::vector<RankingRow>& rows,
              std::vector<FileOutcome>& outcomes, RunFailure* failure) {
    rows.clear();
    outcomes.assign(targets.size(), FileOutcome{});
    RunFailure unreported;
    RunFailure& report = failure ? *failure : unreported;
    return writeOutput(logPath, options.outputEncoding, "", report, [&](OutputFile& log) {
        CsvTable rankingTable;
        CsvTable perFileTable;
        if (!openTable(rankingTable, options.csvPath, options.csvEncoding, "word,count,files",
                       report) ||
            !openTable(perFileTable, options.perFileCsvPath, options.csvEncoding, "file,word,count",
                       report))
            return RunResult::OutputError;
        WordTally tally(options.userWords, options.excludedWords, options.sentenceLimit);
        WordShards total;
        // Only the ranking table shows in how many files a word was found.
        countTargets(
            targets, options, &tally, rankingTable.isOpen(), outcomes, total,
            [&](const char* path, bool alone, FileCounting& counting, RunFailure& fileFailure) {
                return countTarget(path, options, tally, alone, counting, fileFailure);
            });
        WordTable ranked; // the ranked words, for the table of each file's
        try {
            writeRanking(std::move(total), options, log, rows, rankingTable,
                         perFileTable.isOpen() ? &ranked : nullptr);
        } catch (...) {
            return reported(RunResult::RankingFailed, logPath, 0, report);
        }
        if (perFileTable.isOpen())
            writePerFileTable(targets, options, tally, outcomes, ranked, perFileTable);
        if (!closeTable(rankingTable, options.csvPath, report) ||
            !closeTable(perFileTable, options.perFileCsvPath, report))
            return RunResult::OutputError;
        return RunResult::Done;
    });
}

RunResult run(const TargetFile& target, const char* logPath, KeywordRunOptions options,
              std::vector<RankingRow>& rows, RunFailure* failure) {
    return runOneTarget(target, logPath, std::move(options), rows, failure);
}

RunResult run(const char* targetPath, const char* logPath, KeywordRunOptions options,
              std::vector<RankingRow>& rows, RunFailure* failure) {
    return run(TargetFile{targetPath, targetPath}, logPath, std::move(options), rows, failure);
}
