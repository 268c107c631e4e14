// A search run over arbitrary target bytes, with its switches and keyword taken from the input.
// Layout of the input:
//   2 bytes   toDouble, toUpper (the byte's value: only 1 is on)
//   2 bytes   where a block boundary falls in the target (little-endian, modulo its size + 1)
//   1 byte    size of the keyword
//   the keyword (raw bytes, up to a NUL), and the rest: the target.

#include "fuzz_support.h"
#include "keyword_engine.h"
#include "search_banners.h"

#include <cstdint>
#include <string>
#include <tuple>

namespace {

const std::string_view header = searchHeader;
const std::string_view footer = searchFooter;

struct Outcome {
    RunResult result;
    std::string file;

    bool operator==(const Outcome& o) const {
        return std::tie(result, file) == std::tie(o.result, o.file);
    }
};

Outcome searchRun(const MemoryFile& target, const std::string& keyword, int toDouble, int toUpper) {
    MemoryFile resultFile;
    Outcome outcome;
    outcome.result = run(target.path(), resultFile.path(),
                         SearchRunOptions{keyword, toDouble == 1, toUpper == 1});
    outcome.file = resultFile.read();
    return outcome;
}

// Every hit is "COUNT" "L : " and a tag-free sentence of one line, then an empty line, in the
// order of the file; a finished run ends with the closing banner, a stopped one lost it.
void checkHits(const Outcome& outcome, std::string_view keyword, bool plainComparison) {
    require(outcome.result == RunResult::Done || outcome.result == RunResult::SentenceTooLong,
            "the run finishes or meets a sentence that is too long");
    std::string_view hits = outcome.file;
    require(hits.substr(0, header.size()) == header, "the result starts with the opening banner");
    hits.remove_prefix(header.size());
    if (outcome.result == RunResult::Done) {
        require(hits.size() >= footer.size() && hits.substr(hits.size() - footer.size()) == footer,
                "a finished run ends with the closing banner");
        hits.remove_suffix(footer.size());
    }
    std::int64_t previousCount = 0;
    while (!hits.empty()) {
        size_t end = hits.find("\r\n\r\n");
        size_t marker = hits.find("L : ");
        require(end != std::string_view::npos && marker != std::string_view::npos && marker > 0 &&
                    marker < end && hits.find_first_not_of("0123456789") == marker,
                "a hit is a line count, L : and the sentence, then an empty line");
        std::int64_t count = std::stoll(std::string(hits.substr(0, marker)));
        std::string_view sentence = hits.substr(marker + 4, end - marker - 4);
        require(previousCount <= count, "hits come in file order");
        require(sentence.find_first_of("<>\r\n") == std::string_view::npos,
                "a sentence is one line without tags");
        require(!plainComparison || sentence.find(keyword) != std::string_view::npos,
                "a hit holds the keyword");
        previousCount = count;
        hits.remove_prefix(end + 4);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    int toDouble = input.takeByte();
    int toUpper = input.takeByte();
    unsigned boundary = input.takeTwoBytes();
    std::string keyword(beforeNul(input.take(input.takeByte())));
    std::string_view text = input.rest();

    MemoryFile target;
    target.write(text);
    Outcome plain = searchRun(target, keyword, toDouble, toUpper);
    checkHits(plain, keyword, toDouble != 1 && toUpper != 1);

    target.write(text, zerosForBoundaryAt(boundary, text));
    require(searchRun(target, keyword, toDouble, toUpper) == plain,
            "the outcome does not depend on where a block ends");
    return 0;
}
