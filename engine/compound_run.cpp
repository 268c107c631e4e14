#include "chain_cutter.h"
#include "csv_table.h"
#include "file_counting.h"
#include "keyword_engine.h"
#include "ranking.h"
#include "run_frame.h"

#include <string>
#include <utility>
#include <vector>

namespace {

// The words of a list, to be looked up; the list itself is no longer needed.
WordTable tableOf(std::vector<std::string>& words) {
    WordTable table;
    for (const std::string& word : words)
        if (!word.empty() && table.countOf(word) == 0) table.add(word, 1);
    std::vector<std::string>().swap(words);
    return table;
}

RunResult countTarget(const char* path, const CompoundRunOptions& options,
                      const WordTable& excludedWords, bool alone, FileCounting& counting,
                      RunFailure& report) {
    return readTarget(path, report, [&](std::FILE* target) {
        return ChainCutter(options, excludedWords, counting.counts, counting.batches)
            .cut(counting.reader, target, alone, report);
    });
}

// A chain that is already a user word is counted whole by a keyword run: no candidate.
void dropUserWords(WordShards& chains, const WordTable& userWords) {
    if (userWords.size() == 0) return;
    for (WordTable& shard : chains)
        shard.updateCounts(0, 1, [&](std::string_view chain, std::int64_t count) {
            return userWords.countOf(chain) != 0 ? 0 : count;
        });
}

} // namespace

RunResult run(const std::vector<TargetFile>& targets, const char* logPath,
              CompoundRunOptions options, std::vector<RankingRow>& rows,
              std::vector<FileOutcome>& outcomes, RunFailure* failure) {
    rows.clear();
    outcomes.assign(targets.size(), FileOutcome{});
    RunFailure unreported;
    RunFailure& report = failure ? *failure : unreported;
    KeywordRunOptions& wordOptions = options.words;
    return writeOutput(logPath, wordOptions.outputEncoding, "", report, [&](OutputFile& log) {
        CsvTable table;
        if (!openTable(table, wordOptions.csvPath, wordOptions.csvEncoding, "chain,count,files",
                       report))
            return RunResult::OutputError;
        const WordTable userWords = tableOf(wordOptions.userWords);
        const WordTable excludedWords = tableOf(wordOptions.excludedWords);
        WordShards total;
        countTargets(
            targets, wordOptions, nullptr, false, outcomes, total,
            [&](const char* path, bool alone, FileCounting& counting, RunFailure& fileFailure) {
                return countTarget(path, options, excludedWords, alone, counting, fileFailure);
            });
        try {
            dropUserWords(total, userWords);
            writeRanking(std::move(total), wordOptions, log, rows, table, nullptr);
        } catch (...) {
            return reported(RunResult::RankingFailed, logPath, 0, report);
        }
        return closeTable(table, wordOptions.csvPath, report) ? RunResult::Done
                                                              : RunResult::OutputError;
    });
}

RunResult run(const TargetFile& target, const char* logPath, CompoundRunOptions options,
              std::vector<RankingRow>& rows, RunFailure* failure) {
    return runOneTarget(target, logPath, std::move(options), rows, failure);
}

RunResult run(const char* targetPath, const char* logPath, CompoundRunOptions options,
              std::vector<RankingRow>& rows, RunFailure* failure) {
    return run(TargetFile{targetPath, targetPath}, logPath, std::move(options), rows, failure);
}
