#include "csv_table.h"
#include "keyword_engine.h"
#include "parallel_work.h"
#include "ranking.h"
#include "run_frame.h"
#include "word_cutter.h"
#include "word_tally.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace {

// What a thread keeps from one file to the next, so that a folder of small files does not take
// and give back the memory of every file.
struct FileCounting {
    SentenceReader reader;
    WordTable counts; // of the file being counted
};

// Cuts one target into words, counts them and applies the lists: the tally of that file alone.
// `alone`: no other file is read meanwhile, so the file may take a second thread.
RunResult countTarget(const char* path, const KeywordRunOptions& options, const WordTally& tally,
                      bool alone, FileCounting& counting, RunFailure& report) {
    return readTarget(path, report, [&](std::FILE* target) {
        RunResult result =
            WordCutter(options, counting.counts).cut(counting.reader, target, alone, report);
        if (result == RunResult::Done) tally.apply(counting.counts, alone);
        return result;
    });
}

// Counts are additive, so the tally of several files is the sum of theirs, whatever the order in
// which they are added. The table of a run over one file is its total.
void addCounts(WordTable& fileCounts, WordTable& total, bool severalFiles) {
    if (severalFiles)
        total.addAll(fileCounts);
    else
        std::swap(total, fileCounts);
}

// Each file is counted into a table of its thread, which is added to the total as soon as the
// file is done, so memory holds the total and one file's table per job. A file that fails adds
// nothing.
void countTargets(const std::vector<TargetFile>& targets, const KeywordRunOptions& options,
                  const WordTally& tally, std::vector<FileOutcome>& outcomes, WordTable& total) {
    const int jobs = targets.size() == 1 ? 1 : options.jobs;
    std::vector<FileCounting> perThread;
    for (int thread = 0; thread < jobs; ++thread)
        perThread.push_back({SentenceReader(options.sentenceLimit, options.progress), {}});
    std::mutex totalMutex;
    forEachInParallel(targets.size(), jobs, [&](size_t i, size_t thread) {
        FileCounting& counting = perThread[thread];
        FileOutcome& outcome = outcomes[i];
        outcome.result = countTarget(targets[i].path.c_str(), options, tally, jobs <= 1, counting,
                                     outcome.failure);
        if (outcome.result == RunResult::Done) {
            std::lock_guard<std::mutex> lock(totalMutex);
            addCounts(counting.counts, total, targets.size() > 1);
        }
        counting.counts.clear();
        if (options.progress) ++options.progress->filesDone;
    });
}

bool openTable(CsvTable& table, const std::string& path, std::string_view header,
               const KeywordRunOptions& options, RunFailure& report) {
    if (path.empty() || table.open(path, options.csvEncoding, header)) return true;
    reported(RunResult::OutputError, path.c_str(), table.error(), report);
    return false;
}

bool closeTable(CsvTable& table, const std::string& path, RunFailure& report) {
    if (!table.isOpen() || table.close()) return true;
    reported(RunResult::OutputError, path.c_str(), table.error(), report);
    return false;
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
    FileCounting counting{SentenceReader(options.sentenceLimit, nullptr), {}};
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
        if (!openTable(rankingTable, options.csvPath, "word,count,files", options, report) ||
            !openTable(perFileTable, options.perFileCsvPath, "file,word,count", options, report))
            return RunResult::OutputError;
        WordTally tally(options.userWords, options.excludedWords, options.sentenceLimit);
        WordTable total;
        countTargets(targets, options, tally, outcomes, total);
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

// One target: its failure is the run's.
RunResult run(const TargetFile& target, const char* logPath, KeywordRunOptions options,
              std::vector<RankingRow>& rows, RunFailure* failure) {
    std::vector<FileOutcome> outcomes;
    RunFailure unreported;
    RunFailure& report = failure ? *failure : unreported;
    RunResult result =
        run(std::vector<TargetFile>{target}, logPath, std::move(options), rows, outcomes, &report);
    if (!outcomes.empty() && outcomes[0].result != RunResult::Done) {
        report = outcomes[0].failure;
        result = outcomes[0].result;
    }
    if (result == RunResult::TargetUnreadable || result == RunResult::SentenceTooLong ||
        result == RunResult::RankingFailed)
        report.path = target.path;
    return result;
}

RunResult run(const char* targetPath, const char* logPath, KeywordRunOptions options,
              std::vector<RankingRow>& rows, RunFailure* failure) {
    return run(TargetFile{targetPath, targetPath}, logPath, std::move(options), rows, failure);
}
