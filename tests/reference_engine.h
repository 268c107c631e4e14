#pragma once

#include "keyword_engine.h"

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
RunResult run(const char* targetPath, const char* resultPath, const SearchRunOptions& options);

} // namespace reference
