// tallyon-cli: the keyword engine for batch use. It runs exactly the keyword and search runs of the
// window, with the same files, and exits with the run's result code.

#include "keyword_engine.h"
#include "word_lists.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

constexpr int usageErrorStatus = 64;

constexpr char usageText[] =
    "usage: tallyon-cli keywords [OPTIONS] TARGET\n"
    "       tallyon-cli search [OPTIONS] TARGET KEYWORD\n"
    "\n"
    "keywords: rank the words of TARGET into the keyword log and print the first rows\n"
    "          as COUNT<TAB>WORD.\n"
    "  -o, --output FILE      keyword log (default keyword.log)\n"
    "  --min-bytes A,B,C,D,E,F  minimum word length in bytes for half-width alphanumerics,\n"
    "                         half-width katakana, full-width alphanumerics, hiragana,\n"
    "                         katakana and kanji (default 0,0,0,0,0,0)\n"
    "  --min-count N          smallest count written to the log (default 0)\n"
    "  --rows N               rows printed, at most 50 (default 10)\n"
    "  --to-double            also count half-width katakana words in full width\n"
    "  --to-upper             also count half-width letters in upper case\n"
    "  --english              \" ' and , separate words\n"
    "  --user-words FILE      user word list\n"
    "  --ignore-words FILE    exclusion list\n"
    "  --encoding ENCODING    encoding of TARGET: auto, shift_jis, utf-8, utf-16le or utf-16be\n"
    "                         (default auto: a byte order mark decides, else the text decides\n"
    "                         between UTF-8 and Shift-JIS)\n"
    "\n"
    "search: write every sentence of TARGET that holds KEYWORD (Shift-JIS bytes) to the result\n"
    "        file.\n"
    "  -o, --output FILE      result file (default result.txt)\n"
    "  --to-double, --to-upper  compare in converted form, as above\n"
    "  --encoding ENCODING    as above\n"
    "\n"
    "Exit status: 0 done, 1 output error, 2 target unreadable, 3 ranking failed,\n"
    "4 a sentence of 1024 bytes without an end, 64 usage error.\n";

struct UsageError {
    std::string message;
};

struct KeywordCommand {
    std::string output = "keyword.log";
    KeywordRunOptions options;
    std::vector<std::string> operands;
};

struct SearchCommand {
    std::string output = "result.txt";
    SearchRunOptions options;
    std::vector<std::string> operands;
};

// A decimal integer with an optional sign that fits 32 bits, and nothing else.
int parseInteger(const std::string& text, const std::string& option) {
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(text.c_str(), &end, 10);
    bool digitsOnly = !text.empty() && text.find_first_not_of("+-0123456789") == std::string::npos;
    if (!digitsOnly || *end != '\0' || errno != 0 || value < INT32_MIN || value > INT32_MAX)
        throw UsageError{option + ": not an integer: '" + text + "'"};
    return static_cast<int>(value);
}

void parseMinBytes(const std::string& text, std::array<int, 6>& minBytes) {
    size_t start = 0;
    for (int i = 0; i < 6; ++i) {
        size_t comma = text.find(',', start);
        bool last = i == 5;
        if (last != (comma == std::string::npos))
            throw UsageError{"--min-bytes: expected six comma-separated integers: '" + text + "'"};
        minBytes[i] = parseInteger(text.substr(start, comma - start), "--min-bytes");
        start = comma + 1;
    }
}

TextEncoding parseEncoding(const std::string& text) {
    static const std::pair<const char*, TextEncoding> names[] = {
        {"auto", TextEncoding::Auto},
        {"shift_jis", TextEncoding::ShiftJis},
        {"utf-8", TextEncoding::Utf8},
        {"utf-16le", TextEncoding::Utf16LE},
        {"utf-16be", TextEncoding::Utf16BE}};
    for (const auto& [name, encoding] : names)
        if (text == name) return encoding;
    throw UsageError{"--encoding: not an encoding: '" + text + "'"};
}

// A list is many small blocks, whose memory glibc keeps once they are freed unless asked.
void releaseFreedMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

// The list in ascending byte order, as the window hands it over. Its words move out of the set,
// whose memory is given back: a large list is worth not holding twice during the run.
std::vector<std::string> loadListOption(const std::string& path, const std::string& option) {
    WordSet set;
    if (!loadWordList(path.c_str(), set)) throw UsageError{option + ": cannot read '" + path + "'"};
    std::vector<std::string> words;
    words.reserve(set.size());
    while (!set.empty()) words.push_back(std::move(set.extract(set.begin()).value()));
    releaseFreedMemory();
    return words;
}

// Walks the arguments after the command. Options may stand anywhere and "--" ends them; each
// option goes to handleOption(option, takeValue), which returns false for an unknown one.
template <class HandleOption>
std::vector<std::string> parseArguments(int argc, char** argv, HandleOption handleOption) {
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            operands.push_back(arg);
        } else {
            auto takeValue = [&]() -> std::string {
                if (i + 1 >= argc) throw UsageError{arg + ": missing value"};
                return argv[++i];
            };
            if (!handleOption(arg, takeValue)) throw UsageError{"unknown option: " + arg};
        }
    }
    return operands;
}

void requireOperands(const std::vector<std::string>& operands, size_t count, const char* names) {
    if (operands.size() != count)
        throw UsageError{std::string("expected ") + names + ", got " +
                         std::to_string(operands.size()) + " operand(s)"};
}

KeywordCommand parseKeywordCommand(int argc, char** argv) {
    KeywordCommand command;
    KeywordRunOptions& options = command.options;
    options.rows = 10;
    command.operands = parseArguments(argc, argv, [&](const std::string& arg, auto takeValue) {
        if (arg == "-o" || arg == "--output")
            command.output = takeValue();
        else if (arg == "--min-bytes")
            parseMinBytes(takeValue(), options.minBytes);
        else if (arg == "--min-count")
            options.minimumCount = parseInteger(takeValue(), arg);
        else if (arg == "--rows")
            options.rows = std::min(parseInteger(takeValue(), arg), maxKeywordRows);
        else if (arg == "--to-double")
            options.toFullWidth = true;
        else if (arg == "--to-upper")
            options.toUpper = true;
        else if (arg == "--english")
            options.englishMode = true;
        else if (arg == "--user-words")
            options.userWords = loadListOption(takeValue(), arg);
        else if (arg == "--ignore-words")
            options.excludedWords = loadListOption(takeValue(), arg);
        else if (arg == "--encoding")
            options.encoding = parseEncoding(takeValue());
        else
            return false;
        return true;
    });
    requireOperands(command.operands, 1, "TARGET");
    return command;
}

SearchCommand parseSearchCommand(int argc, char** argv) {
    SearchCommand command;
    command.operands = parseArguments(argc, argv, [&](const std::string& arg, auto takeValue) {
        if (arg == "-o" || arg == "--output")
            command.output = takeValue();
        else if (arg == "--to-double")
            command.options.toFullWidth = true;
        else if (arg == "--to-upper")
            command.options.toUpper = true;
        else if (arg == "--encoding")
            command.options.encoding = parseEncoding(takeValue());
        else
            return false;
        return true;
    });
    requireOperands(command.operands, 2, "TARGET and KEYWORD");
    command.options.keyword = command.operands[1];
    return command;
}

int runKeywords(KeywordCommand command) {
    std::vector<RankingRow> rows;
    RunResult result =
        run(command.operands[0].c_str(), command.output.c_str(), std::move(command.options), rows);
    for (const RankingRow& row : rows) {
        std::string text = std::to_string(row.count) + '\t' + row.word + '\n';
        std::fwrite(text.data(), 1, text.size(), stdout);
    }
    return static_cast<int>(result);
}

int runSearch(const SearchCommand& command) {
    return static_cast<int>(
        run(command.operands[0].c_str(), command.output.c_str(), command.options));
}

bool isHelp(const char* arg) {
    return std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0;
}

int dispatch(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) break;
        if (isHelp(argv[i])) {
            std::fputs(usageText, stdout);
            return 0;
        }
    }
    if (argc < 2) throw UsageError{"missing command: keywords or search"};
    std::string command = argv[1];
    if (command == "keywords") return runKeywords(parseKeywordCommand(argc, argv));
    if (command == "search") return runSearch(parseSearchCommand(argc, argv));
    throw UsageError{"unknown command: " + command};
}

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Rows end in LF alone, as on every platform.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
#ifdef __GLIBC__
    // By default glibc keeps large freed blocks for later use, so memory that one stage of a run
    // gives back still counts towards the peak of the next. Large blocks go straight back to the
    // system instead, as on Windows.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
    try {
        return dispatch(argc, argv);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "tallyon-cli: %s (see tallyon-cli --help)\n", error.message.c_str());
        return usageErrorStatus;
    }
}
