#pragma once

#include "keyword_engine.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// A second, deliberately plain implementation of the engine: whole files and strings, standard
// containers, every rule written out once in the order the sentence meets it. Only the tests use
// it, to check the fast engine on generated input.
namespace reference {

std::string toFullWidthKana(const std::string& text);
std::string toUpperCase(const std::string& text);

RunResult run(const char* targetPath, const char* logPath, const KeywordRunOptions& options,
              std::vector<RankingRow>& rows);
RunResult run(const char* targetPath, const char* logPath, const CompoundRunOptions& options,
              std::vector<RankingRow>& rows);
RunResult run(const char* targetPath, const char* resultPath, const SearchRunOptions& options);

} // namespace reference

// One keyword run, a search run for `keyword` with the options' two conversions, or a compound
// run with the options for chains of up to maxWords words.
struct RunCase {
    bool search = false;
    KeywordRunOptions options;
    std::string keyword;
    int maxWords = 0; // a compound run when 2 or more
};

// A run of either engine, given as `run`, as one text: its code, its output file and its rows.
// The target is read as Shift-JIS, the one encoding the reference knows, unless told otherwise.
template <class Run>
std::string outcomeOf(Run run, const RunCase& c, const std::string& target,
                      const std::string& output, TextEncoding encoding = TextEncoding::ShiftJis) {
    std::vector<RankingRow> rows;
    KeywordRunOptions options = c.options;
    options.encoding = encoding;
    const RunResult result = c.search          ? run(target.c_str(), output.c_str(),
                                                     SearchRunOptions{c.keyword, options.toFullWidth,
                                                             options.toUpper, options.encoding})
                             : c.maxWords >= 2 ? run(target.c_str(), output.c_str(),
                                                     CompoundRunOptions{options, c.maxWords}, rows)
                                               : run(target.c_str(), output.c_str(), options, rows);
    std::ifstream file(output, std::ios::binary);
    std::string outcome = "code " + std::to_string(static_cast<int>(result)) + "\noutput:\n" +
                          std::string(std::istreambuf_iterator<char>(file), {});
    for (const RankingRow& row : rows) outcome += "\n" + std::to_string(row.count) + " " + row.word;
    return outcome;
}
