// tallyon-cli: the keyword engine for batch use. It runs exactly the keyword and search runs of the
// window, with the same files, and exits with the run's result code.

#include "console_text.h"
#include "keyword_engine.h"
#include "text_encoding.h"
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
    "  --output-encoding ENCODING  encoding of the keyword log: shift_jis (default) or utf-8\n"
    "\n"
    "search: write every sentence of TARGET that holds KEYWORD to the result file.\n"
    "  -o, --output FILE      result file (default result.txt)\n"
    "  --to-double, --to-upper  compare in converted form, as above\n"
    "  --encoding ENCODING    as above\n"
    "  --output-encoding ENCODING  encoding of the result file, as above\n"
    "\n"
    "KEYWORD and the printed rows follow the locale: UTF-8 in a UTF-8 locale (a KEYWORD that is\n"
    "not valid UTF-8 is taken as Shift-JIS), Shift-JIS in the C locale. For example:\n"
    "  LANG=C.UTF-8 tallyon-cli search notes.txt \xe3\x83\x95\xe3\x82\xa1\xe3\x82\xa4\xe3\x83\xab\n"
    "\n"
    "Exit status: 0 done, 1 output error, 2 target unreadable, 3 ranking failed,\n"
    "4 a sentence of 1024 bytes without an end, 64 usage error. Every error is told on stderr.\n";

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

TextEncoding parseOutputEncoding(const std::string& text) {
    if (text == "shift_jis") return TextEncoding::ShiftJis;
    if (text == "utf-8") return TextEncoding::Utf8;
    throw UsageError{"--output-encoding: not an output encoding: '" + text + "'"};
}

// A keyword typed as UTF-8 text is converted; one that is not valid UTF-8 is taken as Shift-JIS
// bytes, as a script may pass it.
std::string keywordInCodePage932(const std::string& argument, const ConsoleText& console) {
    if (!console.utf8Arguments || !isValidUtf8(argument)) return argument;
    return toCodePage932(TextEncoding::Utf8, argument);
}

// A list is many small blocks, whose memory glibc keeps once they are freed unless asked.
void releaseFreedMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

// The list in code page 932 and ascending byte order, as the window hands it over. Its words move
// out of the set, whose memory is given back: a large list is worth not holding twice during the
// run. The words as the file has them are needed only to save it again.
std::vector<std::string> loadListOption(const std::string& path, const std::string& option) {
    WordList list;
    if (!loadWordList(path.c_str(), list))
        throw UsageError{option + ": cannot read '" + path + "'"};
    list.fileWords.clear();
    WordSet& set = list.words;
    std::vector<std::string> words;
    words.reserve(set.size());
    while (!set.empty()) words.push_back(std::move(set.extract(set.begin()).value()));
    releaseFreedMemory();
    return words;
}

// Walks the arguments after the command. Options may stand anywhere and "--" ends them; each
// option goes to handleOption(option, takeValue), which returns false for an unknown one.
template <class HandleOption>
std::vector<std::string> parseArguments(const std::vector<std::string>& args,
                                        HandleOption handleOption) {
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            operands.push_back(arg);
        } else {
            auto takeValue = [&]() -> std::string {
                if (i + 1 >= args.size()) throw UsageError{arg + ": missing value"};
                return args[++i];
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

KeywordCommand parseKeywordCommand(const std::vector<std::string>& args) {
    KeywordCommand command;
    KeywordRunOptions& options = command.options;
    options.rows = 10;
    command.operands = parseArguments(args, [&](const std::string& arg, auto takeValue) {
        if (arg == "-o" || arg == "--output")
            command.output = pathArgument(takeValue());
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
            options.userWords = loadListOption(pathArgument(takeValue()), arg);
        else if (arg == "--ignore-words")
            options.excludedWords = loadListOption(pathArgument(takeValue()), arg);
        else if (arg == "--encoding")
            options.encoding = parseEncoding(takeValue());
        else if (arg == "--output-encoding")
            options.outputEncoding = parseOutputEncoding(takeValue());
        else
            return false;
        return true;
    });
    requireOperands(command.operands, 1, "TARGET");
    command.operands[0] = pathArgument(command.operands[0]);
    return command;
}

SearchCommand parseSearchCommand(const std::vector<std::string>& args, const ConsoleText& console) {
    SearchCommand command;
    command.operands = parseArguments(args, [&](const std::string& arg, auto takeValue) {
        if (arg == "-o" || arg == "--output")
            command.output = pathArgument(takeValue());
        else if (arg == "--to-double")
            command.options.toFullWidth = true;
        else if (arg == "--to-upper")
            command.options.toUpper = true;
        else if (arg == "--encoding")
            command.options.encoding = parseEncoding(takeValue());
        else if (arg == "--output-encoding")
            command.options.outputEncoding = parseOutputEncoding(takeValue());
        else
            return false;
        return true;
    });
    requireOperands(command.operands, 2, "TARGET and KEYWORD");
    command.operands[0] = pathArgument(command.operands[0]);
    command.options.keyword = keywordInCodePage932(command.operands[1], console);
    return command;
}

// One line naming the file and the cause, as GNU tools tell a failure.
int reportedStatus(RunResult result, const RunFailure& failure) {
    if (result == RunResult::Done) return 0;
    std::string cause = result == RunResult::SentenceTooLong
                            ? std::to_string(failure.line) + ": a sentence of " +
                                  std::to_string(defaultSentenceLimit) + " bytes without an end"
                            : std::string(" ") + std::strerror(failure.error);
    std::string line = std::string("tallyon-cli: ") + failure.path + ":" + cause + "\n";
    std::fputs(line.c_str(), stderr);
    return static_cast<int>(result);
}

int runKeywords(KeywordCommand command, const ConsoleText& console) {
    std::vector<RankingRow> rows;
    RunFailure failure;
    RunResult result = run(command.operands[0].c_str(), command.output.c_str(),
                           std::move(command.options), rows, &failure);
    for (const RankingRow& row : rows) {
        std::string word =
            console.utf8Stdout ? fromCodePage932(TextEncoding::Utf8, row.word) : row.word;
        std::string text = std::to_string(row.count) + '\t' + word + '\n';
        std::fwrite(text.data(), 1, text.size(), stdout);
    }
    return reportedStatus(result, failure);
}

int runSearch(const SearchCommand& command) {
    RunFailure failure;
    RunResult result =
        run(command.operands[0].c_str(), command.output.c_str(), command.options, &failure);
    return reportedStatus(result, failure);
}

int dispatch(const std::vector<std::string>& args, const ConsoleText& console) {
    for (const std::string& arg : args) {
        if (arg == "--") break;
        if (arg == "--help" || arg == "-h") {
            std::fputs(usageText, stdout);
            return 0;
        }
    }
    if (args.empty()) throw UsageError{"missing command: keywords or search"};
    const std::string& command = args[0];
    if (command == "keywords") return runKeywords(parseKeywordCommand(args), console);
    if (command == "search") return runSearch(parseSearchCommand(args, console));
    throw UsageError{"unknown command: " + command};
}

} // namespace

int main(int argc, char** argv) {
    ConsoleText console = setUpConsole();
#ifdef __GLIBC__
    // By default glibc keeps large freed blocks for later use, so memory that one stage of a run
    // gives back still counts towards the peak of the next. Large blocks go straight back to the
    // system instead, as on Windows.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
    try {
        return dispatch(programArguments(argc, argv), console);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "tallyon-cli: %s (see tallyon-cli --help)\n", error.message.c_str());
        return usageErrorStatus;
    }
}
