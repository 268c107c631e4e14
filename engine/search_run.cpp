#include "conversions.h"
#include "keyword_engine.h"
#include "output_file.h"
#include "run_frame.h"
#include "sentence_reader.h"
#include "shift_jis.h"

#include <string>
#include <string_view>

namespace {

// "// ※※※※※ 検索結果 開始 ※※※※※ //" and "... 終了 ..."
constexpr std::string_view searchHeader =
    "// \x81\xa6\x81\xa6\x81\xa6\x81\xa6\x81\xa6 \x8c\x9f\x8d\xf5\x8c\x8b\x89\xca \x8a\x4a\x8e\x6e "
    "\x81\xa6\x81\xa6\x81\xa6\x81\xa6\x81\xa6 //\r\n\r\n";
constexpr std::string_view searchFooter =
    "// \x81\xa6\x81\xa6\x81\xa6\x81\xa6\x81\xa6 \x8c\x9f\x8d\xf5\x8c\x8b\x89\xca \x8f\x49\x97\xb9 "
    "\x81\xa6\x81\xa6\x81\xa6\x81\xa6\x81\xa6 //\r\n";

// Writes every sentence that holds the keyword to the result file, after its line number.
class SearchRun {
  public:
    SearchRun(const SearchRunOptions& options, OutputFile& result)
        : options(options), result(result) {
        needle = converted(options.keyword);
    }

    void startBlock(const char*) {}
    bool endBlock() { return true; }

    void sentence(std::string_view text, bool, std::int64_t lines) {
        if (!holdsKeyword(text)) return;
        line = std::to_string(lines);
        line += "L : ";
        line += text;
        line += "\r\n\r\n";
        result.write(line);
    }

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
    OutputFile& result;
    std::string fullWidthText;
    std::string upperText;
    std::string needle;
    std::string line; // scratch for composing result lines
};

} // namespace

RunResult run(const char* targetPath, const char* resultPath, const SearchRunOptions& options,
              RunFailure* failure) {
    return runOnFiles(targetPath, resultPath, options.outputEncoding, searchHeader, failure,
                      [&](std::FILE* target, OutputFile& result, RunFailure& report) {
                          SearchRun search(options, result);
                          SentenceReader reader;
                          RunResult code =
                              reader.read(target, options.encoding, sinkFor(search), report);
                          if (code == RunResult::Done) result.write(searchFooter);
                          return code;
                      });
}
