#include "conversions.h"
#include "keyword_engine.h"
#include "output_file.h"
#include "parallel_work.h"
#include "run_frame.h"
#include "sentence_reader.h"
#include "shift_jis.h"

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

// Gathers every sentence that holds the keyword, after its line number, as result lines. Where
// `output` is given, the lines of each block are written to it once the block is done.
class SearchRun {
  public:
    SearchRun(const SearchRunOptions& options, OutputFile* output)
        : options(options), output(output) {
        needle = converted(options.keyword);
    }

    void startBlock(const char*) {}
    void endBlock() {
        if (output) writeHits();
    }

    void sentence(std::string_view text, bool, std::int64_t lines) {
        if (!holdsKeyword(text)) return;
        hits += std::to_string(lines);
        hits += "L : ";
        hits += text;
        hits += "\r\n\r\n";
    }

    void writeHits() {
        output->write(hits);
        hits.clear();
    }

    std::string hits; // the result lines not yet written

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

    // The empty keyword matches every sentence. Otherwise the converted sentence must hold the
    // keyword at a character boundary.
    bool holdsKeyword(std::string_view text) {
        if (needle.empty()) return true;
        return findOnCharBoundary(converted(text), needle) != std::string_view::npos;
    }

    const SearchRunOptions& options;
    OutputFile* output;
    std::string fullWidthText;
    std::string upperText;
    std::string needle;
};

// The result lines of one target of several, introduced by the line naming it; none when the
// target holds no hit or fails, which leaves it out whole.
RunResult searchTarget(const TargetFile& file, const SearchRunOptions& options,
                       SentenceReader& reader, std::string& lines, RunFailure& report) {
    return readTarget(file.path.c_str(), report, [&](std::FILE* target) {
        SearchRun search(options, nullptr);
        RunResult result = reader.read(target, options.encoding, search, report);
        if (result == RunResult::Done && !search.hits.empty())
            lines = "// " + file.name + " //\r\n\r\n" + search.hits;
        return result;
    });
}

// Writes the lines of the targets in their order, as soon as all before them are done: those
// done early wait in memory.
class InOrderWriter {
  public:
    InOrderWriter(OutputFile& output, size_t count) : output(output), lines(count), done(count) {}

    void finish(size_t i, std::string&& fileLines) {
        std::lock_guard<std::mutex> lock(mutex);
        lines[i] = std::move(fileLines);
        done[i] = true;
        for (; next < lines.size() && done[next]; ++next) {
            output.write(lines[next]);
            std::string().swap(lines[next]);
        }
    }

  private:
    OutputFile& output;
    std::vector<std::string> lines;
    std::vector<bool> done;
    size_t next = 0;
    std::mutex mutex;
};

} // namespace

// The lines are written block by block, so a run that stops keeps the hits before the stop.
RunResult run(const char* targetPath, const char* resultPath, const SearchRunOptions& options,
              RunFailure* failure) {
    RunFailure unreported;
    RunFailure& report = failure ? *failure : unreported;
    return writeOutput(
        resultPath, options.outputEncoding, searchHeader, report, [&](OutputFile& result) {
            return readTarget(targetPath, report, [&](std::FILE* target) {
                SearchRun search(options, &result);
                RunResult code = SentenceReader(options.sentenceLimit, options.progress)
                                     .read(target, options.encoding, search, report);
                search.writeHits();
                if (code == RunResult::Done) result.write(searchFooter);
                return code;
            });
        });
}

RunResult run(const std::vector<TargetFile>& targets, const char* resultPath,
              const SearchRunOptions& options, std::vector<FileOutcome>& outcomes,
              RunFailure* failure) {
    outcomes.assign(targets.size(), FileOutcome{});
    RunFailure unreported;
    RunFailure& report = failure ? *failure : unreported;
    return writeOutput(
        resultPath, options.outputEncoding, searchHeader, report, [&](OutputFile& result) {
            InOrderWriter writer(result, targets.size());
            std::vector<SentenceReader> readers; // one a thread, reading one file after another
            for (int thread = 0; thread < options.jobs; ++thread)
                readers.emplace_back(options.sentenceLimit, options.progress);
            forEachInParallel(targets.size(), options.jobs, [&](size_t i, size_t thread) {
                std::string lines;
                outcomes[i].result =
                    searchTarget(targets[i], options, readers[thread], lines, outcomes[i].failure);
                writer.finish(i, std::move(lines));
                if (options.progress) ++options.progress->filesDone;
            });
            result.write(searchFooter);
            return RunResult::Done;
        });
}
