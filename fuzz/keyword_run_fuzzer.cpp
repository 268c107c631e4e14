// A keyword run over arbitrary target bytes, with its settings, user words and excluded words
// taken from the input. Layout of the input:
//   6 bytes   the minimum word lengths (signed), in the order of the engine's constructor
//   1 byte    minimumCounts (signed)      1 byte  keywordCounts (signed)
//   3 bytes   toDouble, toUpper, englishMode (the byte's value: only 1 is on)
//   2 bytes   where a block boundary falls in the target (little-endian, modulo its size + 1)
//   1 byte    size of the user-word list  1 byte  size of the excluded-word list
//   the user-word list, the excluded-word list (one word per LF), and the rest: the target.

#include "fuzz_support.h"
#include "keyword_engine.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using Entries = std::vector<std::pair<std::int64_t, std::string>>;

struct Outcome {
    RunResult result;
    std::string log;
    Entries rows;

    bool operator==(const Outcome& o) const {
        return std::tie(result, log, rows) == std::tie(o.result, o.log, o.rows);
    }
};

// `s` in the order of the engine's constructor; the lists sorted, as the window hands them over.
Outcome keywordRun(const MemoryFile& target, const int* s,
                   const std::vector<std::string>& userWords,
                   const std::vector<std::string>& excludedWords) {
    MemoryFile log;
    Outcome outcome;
    KeywordRunOptions options{{s[0], s[1], s[2], s[3], s[4], s[5]},
                              s[6],
                              s[7],
                              s[8] == 1,
                              s[9] == 1,
                              s[10] == 1,
                              userWords,
                              excludedWords};
    std::vector<RankingRow> rows;
    outcome.result = run(target.path(), log.path(), options, rows);
    for (const RankingRow& row : rows) outcome.rows.emplace_back(row.count, row.word);
    outcome.log = log.read();
    return outcome;
}

// keyword.log as (count, word) entries; every line is "COUNT : WORD" and ends in CR LF.
Entries entriesOf(std::string_view log) {
    Entries entries;
    while (!log.empty()) {
        size_t lineEnd = log.find("\r\n");
        require(lineEnd != std::string_view::npos, "every log line ends in CR LF");
        std::string_view line = log.substr(0, lineEnd);
        size_t separator = line.find(" : ");
        require(separator != std::string_view::npos && separator > 0 &&
                    line.find_first_not_of("0123456789") == separator,
                "a log line starts with its count");
        entries.emplace_back(std::stoll(std::string(line.substr(0, separator))),
                             std::string(line.substr(separator + 3)));
        log.remove_prefix(lineEnd + 2);
    }
    return entries;
}

// A finished run ranks by count, then by greater byte order, keeps only what reaches
// minimumCounts, and hands its first keywordCounts entries (at most 50) to the rows.
void checkRanking(const Outcome& outcome, int minimumCounts, int keywordCounts) {
    require(outcome.result == RunResult::Done || outcome.result == RunResult::SentenceTooLong,
            "the run finishes or meets a sentence that is too long");
    if (outcome.result != RunResult::Done) {
        require(outcome.log.empty() && outcome.rows.empty(), "a stopped run ranks nothing");
        return;
    }
    Entries entries = entriesOf(outcome.log);
    for (size_t i = 0; i < entries.size(); ++i) {
        require(entries[i].first >= std::max(1, minimumCounts) && !entries[i].second.empty(),
                "ranked words are counted and reach the minimum count");
        require(i == 0 || entries[i - 1].first > entries[i].first ||
                    (entries[i - 1].first == entries[i].first &&
                     entries[i - 1].second > entries[i].second),
                "the log is in ranking order");
    }
    entries.resize(std::min(size_t(std::clamp(keywordCounts, 0, maxKeywordRows)), entries.size()));
    require(outcome.rows == entries, "the rows are the first entries of the log");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    int settings[11];
    for (int i = 0; i < 11; ++i) settings[i] = i < 8 ? input.takeSignedByte() : input.takeByte();
    unsigned boundary = input.takeTwoBytes();
    size_t userListSize = input.takeByte();
    size_t excludedListSize = input.takeByte();
    std::vector<std::string> userWords = wordsOf(input.take(userListSize));
    std::vector<std::string> excludedWords = wordsOf(input.take(excludedListSize));
    std::sort(userWords.begin(), userWords.end());
    std::sort(excludedWords.begin(), excludedWords.end());
    std::string_view text = input.rest();

    MemoryFile target;
    target.write(text);
    Outcome plain = keywordRun(target, settings, userWords, excludedWords);
    checkRanking(plain, settings[6], settings[7]);

    target.write(text, zerosForBoundaryAt(boundary, text));
    require(keywordRun(target, settings, userWords, excludedWords) == plain,
            "the outcome does not depend on where a block ends");
    return 0;
}
