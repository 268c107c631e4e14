#include "conversions.h"
#include "csv_table.h"
#include "keyword_engine.h"
#include "output_file.h"
#include "parallel_work.h"
#include "run_frame.h"
#include "sentence_reader.h"
#include "shift_jis.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// "// ※※※※※ 検索結果 開始 ※※※※※ //" and "... 終了 ..."
constexpr std::string_view searchHeader =
    "// \x81\xa6\x81\xa6\x81\xa6\x81\xa6\x81\xa6 \x8c\x9f\x8d\xf5\x8c\x8b\x89\xca \x8a\x4a\x8e\x6e "
    "\x81\xa6\x81\xa6\x81\xa6\x81\xa6\x81\xa6 //\r\n\r\n";
constexpr std::string_view searchFooter =
    "// \x81\xa6\x81\xa6\x81\xa6\x81\xa6\x81\xa6 \x8c\x9f\x8d\xf5\x8c\x8b\x89\xca \x8f\x49\x97\xb9 "
    "\x81\xa6\x81\xa6\x81\xa6\x81\xa6\x81\xa6 //\r\n";

// Where a search's results go: the result file, and the table when one is asked for.
struct SearchOutputs {
    OutputFile& result;
    CsvTable& table;
};

// Gathers every sentence that holds the keyword, after its line number, as result lines, and as
// rows of the table when it is open. Where `outputs` are given, each block's lines and rows are
// written to them once the block is done.
class SearchRun {
  public:
    SearchRun(const SearchRunOptions& options, std::string_view fileName, const CsvTable& table,
              SearchOutputs* outputs)
        : options(options), fileName(fileName), table(table), outputs(outputs) {
        needle = converted(options.keyword);
    }

    void startBlock(const char*) {}
    void endBlock() {
        if (outputs) writeFound(*outputs);
    }

    void sentence(std::string_view text, bool, std::int64_t lines) {
        size_t at = keywordAt(text);
        if (at == std::string_view::npos) return;
        std::string lineNumber = std::to_string(lines);
        hits += lineNumber;
        hits += "L : ";
        hits += text;
        hits += "\r\n\r\n";
        if (!table.isOpen()) return;
        size_t start = sourceOffsetOf(text, at);
        size_t end = sourceOffsetOf(text, at + needle.size());
        rows += table.rowText({fileName, lineNumber, text.substr(0, start),
                               text.substr(start, end - start), text.substr(end)});
    }

    void writeFound(SearchOutputs& to) {
        to.result.write(hits);
        hits.clear();
        if (to.table.isOpen()) to.table.addRows(rows);
        rows.clear();
    }

    std::string hits; // the result lines not yet written
    std::string rows; // the table's rows not yet written

  private:
    // The text in the form that the keyword and the sentences are compared in; it lies in the
    // scratch strings until the next call.
    std::string_view converted(std::string_view text) {
        if (options.toFullWidth) {
            toFullWidthKana(text, fullWidthText);
            text = fullWidthText;
        }
        if (options.toUpper) {
            toUpperCase(text, upperText);
            text = upperText;
        }
        return text;
    }

    // Where the first occurrence of the keyword starts in the converted sentence: at a character
    // boundary, and at 0 for the empty keyword, which matches every sentence; npos for none.
    size_t keywordAt(std::string_view text) {
        if (needle.empty()) return 0;
        return findOnCharBoundary(converted(text), needle);
    }

    // A unit of the text is what the conversions turn into one piece: a character, or a half-width
    // kana with the mark that composes with it into one full-width character.
    size_t unitLengthAt(std::string_view text, size_t i) {
        size_t length = charLengthAt(text, i);
        if (options.toFullWidth && length == 1 && i + 1 < text.size() &&
            toFullWidthKana(text.substr(i, 1)).size() == 2 &&
            toFullWidthKana(text.substr(i, 2)).size() == 2)
            return 2;
        return length;
    }

    // Where in the text starts the first unit whose converted form starts at or after
    // `convertedAt`: a match is mapped back to the unconverted units it touches. Upper case keeps
    // every length, so only the full-width kana move the offsets.
    size_t sourceOffsetOf(std::string_view text, size_t convertedAt) {
        if (!options.toFullWidth) return std::min(convertedAt, text.size());
        size_t source = 0;
        for (size_t target = 0; source < text.size() && target < convertedAt;) {
            size_t length = unitLengthAt(text, source);
            toFullWidthKana(text.substr(source, length), unitText);
            target += unitText.size();
            source += length;
        }
        return source;
    }

    const SearchRunOptions& options;
    std::string_view fileName;
    const CsvTable& table;
    SearchOutputs* outputs;
    std::string fullWidthText;
    std::string upperText;
    std::string unitText;
    std::string needle;
};

// The result lines and the table rows of one target of several, the lines introduced by the line
// naming the target; none when it holds no hit or fails, which leaves it out whole.
RunResult searchTarget(const TargetFile& file, const SearchRunOptions& options,
                       SentenceReader& reader, const CsvTable& table, std::string& lines,
                       std::string& rows, RunFailure& report) {
    return readTarget(file.path.c_str(), report, [&](std::FILE* target) {
        SearchRun search(options, file.name, table, nullptr);
        RunResult result = reader.read(target, options.encoding, search, report);
        if (result == RunResult::Done && !search.hits.empty()) {
            lines = "// " + file.name + " //\r\n\r\n" + search.hits;
            rows = std::move(search.rows);
        }
        return result;
    });
}

// The table of the sentences found, when one is asked for.
bool openFoundTable(CsvTable& table, const SearchRunOptions& options, RunFailure& report) {
    return openTable(table, options.csvPath, options.csvEncoding, "file,line,left,match,right",
                     report);
}

// Writes the lines of the targets in their order, as soon as all before them are done: those
// done early wait in memory.
class InOrderWriter {
  public:
    InOrderWriter(SearchOutputs outputs, size_t count)
        : outputs(outputs), lines(count), rows(count), done(count) {}

    void finish(size_t i, std::string&& fileLines, std::string&& fileRows) {
        std::lock_guard<std::mutex> lock(mutex);
        lines[i] = std::move(fileLines);
        rows[i] = std::move(fileRows);
        done[i] = true;
        for (; next < lines.size() && done[next]; ++next) {
            outputs.result.write(lines[next]);
            if (outputs.table.isOpen()) outputs.table.addRows(rows[next]);
            std::string().swap(lines[next]);
            std::string().swap(rows[next]);
        }
    }

  private:
    SearchOutputs outputs;
    std::vector<std::string> lines;
    std::vector<std::string> rows;
    std::vector<bool> done;
    size_t next = 0;
    std::mutex mutex;
};

} // namespace

// The lines are written block by block, so a run that stops keeps the hits before the stop.
RunResult run(const TargetFile& target, const char* resultPath, const SearchRunOptions& options,
              RunFailure* failure) {
    RunFailure unreported;
    RunFailure& report = failure ? *failure : unreported;
    return writeOutput(
        resultPath, options.outputEncoding, searchHeader, report, [&](OutputFile& result) {
            CsvTable table;
            if (!openFoundTable(table, options, report)) return RunResult::OutputError;
            SearchOutputs outputs{result, table};
            RunResult code = readTarget(target.path.c_str(), report, [&](std::FILE* file) {
                SearchRun search(options, target.name, table, &outputs);
                RunResult read = SentenceReader(options.sentenceLimit, options.progress)
                                     .read(file, options.encoding, search, report);
                search.writeFound(outputs);
                if (read == RunResult::Done) result.write(searchFooter);
                return read;
            });
            bool tableClosed = closeTable(table, options.csvPath, report);
            if (code != RunResult::Done) return code;
            return tableClosed ? RunResult::Done : RunResult::OutputError;
        });
}

RunResult run(const char* targetPath, const char* resultPath, const SearchRunOptions& options,
              RunFailure* failure) {
    return run(TargetFile{targetPath, targetPath}, resultPath, options, failure);
}

RunResult run(const std::vector<TargetFile>& targets, const char* resultPath,
              const SearchRunOptions& options, std::vector<FileOutcome>& outcomes,
              RunFailure* failure) {
    outcomes.assign(targets.size(), FileOutcome{});
    RunFailure unreported;
    RunFailure& report = failure ? *failure : unreported;
    return writeOutput(
        resultPath, options.outputEncoding, searchHeader, report, [&](OutputFile& result) {
            CsvTable table;
            if (!openFoundTable(table, options, report)) return RunResult::OutputError;
            InOrderWriter writer({result, table}, targets.size());
            std::vector<SentenceReader> readers; // one a thread, reading one file after another
            for (int thread = 0; thread < options.jobs; ++thread)
                readers.emplace_back(options.sentenceLimit, options.progress);
            forEachInParallel(targets.size(), options.jobs, [&](size_t i, size_t thread) {
                std::string lines;
                std::string rows;
                outcomes[i].result = searchTarget(targets[i], options, readers[thread], table,
                                                  lines, rows, outcomes[i].failure);
                writer.finish(i, std::move(lines), std::move(rows));
                if (options.progress) ++options.progress->filesDone;
            });
            result.write(searchFooter);
            return closeTable(table, options.csvPath, report) ? RunResult::Done
                                                              : RunResult::OutputError;
        });
}
