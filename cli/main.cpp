// tallyon-cli: the keyword engine for batch use. It runs exactly the keyword and search runs of the
// window, with the same files, and exits with the run's result code.

#include "console_text.h"
#include "keyword_engine.h"
#include "progress_line.h"
#include "target_files.h"
#include "text_encoding.h"
#include "word_lists.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

constexpr int usageErrorStatus = 64;

constexpr char usageText[] =
    "usage: tallyon-cli keywords [OPTIONS] TARGET...\n"
    "       tallyon-cli compounds [OPTIONS] TARGET...\n"
    "       tallyon-cli search [OPTIONS] TARGET... KEYWORD\n"
    "\n"
    "A TARGET is a file, or a folder that stands for every file below it whose name matches\n"
    "--include (hidden files and folders left out), in byte order of their paths. Each file is\n"
    "read in its own encoding.\n"
    "\n"
    "keywords: rank the words of the TARGETs together into the keyword log and print the first\n"
    "          rows as COUNT<TAB>WORD.\n"
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
    "  --csv FILE             also the ranking as a table: word,count,files (in how many files\n"
    "                         the word was counted)\n"
    "  --per-file-csv FILE    also each file's words as a table: file,word,count, the files in\n"
    "                         target order, each by its own counts\n"
    "\n"
    "compounds: rank the chains of 2 to --max-words kanji, katakana and letter-and-digit words\n"
    "          that stand next to each other in a sentence, cut apart only where the character\n"
    "          class changes, into the compound log, and print the first rows as COUNT<TAB>CHAIN.\n"
    "          A chain that is a user word is left out. Takes the options of keywords, with:\n"
    "  -o, --output FILE      compound log (default compounds.log)\n"
    "  --max-words N          words in a chain at most, 2 to 16 (default 4)\n"
    "  --min-count N          smallest count written to the log (default 2)\n"
    "  --rows N               rows printed, at most 50 (default 20)\n"
    "  --csv FILE             also the ranking as a table: chain,count,files\n"
    "\n"
    "search: write every sentence of the TARGETs that holds KEYWORD to the result file; with\n"
    "        several files, each file's hits follow a line naming it.\n"
    "  -o, --output FILE      result file (default result.txt)\n"
    "  --to-double, --to-upper  compare in converted form, as above\n"
    "  --csv FILE             also every sentence found as a table: file,line,left,match,right,\n"
    "                         the sentence cut around the first match as it stands in the file\n"
    "\n"
    "all three:\n"
    "  --encoding ENCODING    encoding of every TARGET file: auto, shift_jis, utf-8, utf-16le or\n"
    "                         utf-16be (default auto: a byte order mark decides, else the text\n"
    "                         decides between UTF-8 and Shift-JIS, for each file on its own)\n"
    "  --output-encoding ENCODING  encoding of the output: shift_jis (default) or utf-8\n"
    "  --csv-encoding ENCODING  encoding of the tables: utf-8-bom (default, as Excel opens\n"
    "                         them), utf-8 or shift_jis\n"
    "  --include GLOB         names of the files taken from a folder, with * ? and [...]\n"
    "                         (repeatable; default *.txt)\n"
    "  --sentence-limit BYTES  a sentence this long without an end leaves its file out\n"
    "                         (default 1024, at most 1048576)\n"
    "  --jobs N               files read at once (default: the number of processors)\n"
    "  --quiet                no progress line on a terminal\n"
    "  --version              print the version\n"
    "\n"
    "KEYWORD and the printed rows follow the locale: UTF-8 in a UTF-8 locale (a KEYWORD that is\n"
    "not valid UTF-8 is taken as Shift-JIS), Shift-JIS in the C locale. For example:\n"
    "  LANG=C.UTF-8 tallyon-cli search notes.txt \xe3\x83\x95\xe3\x82\xa1\xe3\x82\xa4\xe3\x83\xab\n"
    "  LANG=C.UTF-8 tallyon-cli keywords --include '*.md' interviews/ answers.txt\n"
    "  LANG=C.UTF-8 tallyon-cli compounds --user-words userword.lst notes.txt\n"
    "\n"
    "Exit status: 0 done, 1 output error, 2 target unreadable, 3 ranking failed,\n"
    "4 a sentence of the sentence limit without an end, 64 usage error; with several files, that\n"
    "of the first file that failed, which is left out while the others are used. Every error is\n"
    "told on stderr.\n";

struct UsageError {
    std::string message;
};

// What both commands take besides their own options.
struct TargetOptions {
    std::vector<std::string> includes;
    bool quiet = false;
};

struct KeywordCommand {
    std::string output = "keyword.log";
    KeywordRunOptions options;
    TargetOptions targets;
    std::vector<std::string> operands;
};

struct CompoundCommand {
    std::string output = "compounds.log";
    CompoundRunOptions options;
    TargetOptions targets;
    std::vector<std::string> operands;
};

struct SearchCommand {
    std::string output = "result.txt";
    SearchRunOptions options;
    TargetOptions targets;
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

CsvEncoding parseCsvEncoding(const std::string& text) {
    if (text == "utf-8-bom") return CsvEncoding::Utf8WithBom;
    if (text == "utf-8") return CsvEncoding::Utf8;
    if (text == "shift_jis") return CsvEncoding::ShiftJis;
    throw UsageError{"--csv-encoding: not a table encoding: '" + text + "'"};
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
        throw UsageError{option + ": cannot read '" + printedPath(path) + "'"};
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

int parseInRange(const std::string& text, const std::string& option, int least, int most) {
    int value = parseInteger(text, option);
    if (value < least || value > most)
        throw UsageError{option + ": not between " + std::to_string(least) + " and " +
                         std::to_string(most) + ": '" + text + "'"};
    return value;
}

// The options that both commands take, into the run's options of either; false for another.
template <class RunOptions, class TakeValue>
bool handleSharedOption(const std::string& arg, TakeValue takeValue, std::string& output,
                        RunOptions& options, TargetOptions& targets) {
    if (arg == "-o" || arg == "--output")
        output = takeValue();
    else if (arg == "--to-double")
        options.toFullWidth = true;
    else if (arg == "--to-upper")
        options.toUpper = true;
    else if (arg == "--encoding")
        options.encoding = parseEncoding(takeValue());
    else if (arg == "--output-encoding")
        options.outputEncoding = parseOutputEncoding(takeValue());
    else if (arg == "--include")
        targets.includes.push_back(takeValue());
    else if (arg == "--sentence-limit")
        options.sentenceLimit =
            parseInRange(takeValue(), arg, 1, static_cast<int>(mostSentenceLimit));
    else if (arg == "--jobs")
        options.jobs = parseInRange(takeValue(), arg, 1, 1024);
    else if (arg == "--quiet")
        targets.quiet = true;
    else if (arg == "--csv")
        options.csvPath = takeValue();
    else if (arg == "--csv-encoding")
        options.csvEncoding = parseCsvEncoding(takeValue());
    else
        return false;
    return true;
}

// The options of a keyword run, which a compound run takes too; false for another.
template <class TakeValue>
bool handleKeywordOption(const std::string& arg, TakeValue takeValue, std::string& output,
                         KeywordRunOptions& options, TargetOptions& targets) {
    if (handleSharedOption(arg, takeValue, output, options, targets)) return true;
    if (arg == "--min-bytes")
        parseMinBytes(takeValue(), options.minBytes);
    else if (arg == "--min-count")
        options.minimumCount = parseInteger(takeValue(), arg);
    else if (arg == "--rows")
        options.rows = std::min(parseInteger(takeValue(), arg), maxKeywordRows);
    else if (arg == "--english")
        options.englishMode = true;
    else if (arg == "--user-words")
        options.userWords = loadListOption(takeValue(), arg);
    else if (arg == "--ignore-words")
        options.excludedWords = loadListOption(takeValue(), arg);
    else
        return false;
    return true;
}

// At least one target; a folder takes the files named *.txt unless --include names others.
template <class Command> void checkTargets(Command& command) {
    if (command.operands.empty()) throw UsageError{"expected TARGET..., got 0 operand(s)"};
    if (command.targets.includes.empty()) command.targets.includes.push_back("*.txt");
}

KeywordCommand parseKeywordCommand(const std::vector<std::string>& args) {
    KeywordCommand command;
    KeywordRunOptions& options = command.options;
    options.rows = 10;
    options.jobs = processorCount();
    command.operands = parseArguments(args, [&](const std::string& arg, auto takeValue) {
        if (arg != "--per-file-csv")
            return handleKeywordOption(arg, takeValue, command.output, options, command.targets);
        options.perFileCsvPath = takeValue();
        return true;
    });
    checkTargets(command);
    return command;
}

CompoundCommand parseCompoundCommand(const std::vector<std::string>& args) {
    CompoundCommand command;
    KeywordRunOptions& options = command.options.words;
    options.rows = 20;
    options.minimumCount = 2;
    options.jobs = processorCount();
    command.operands = parseArguments(args, [&](const std::string& arg, auto takeValue) {
        if (arg != "--max-words")
            return handleKeywordOption(arg, takeValue, command.output, options, command.targets);
        command.options.maxWords = parseInRange(takeValue(), arg, 2, 16);
        return true;
    });
    checkTargets(command);
    return command;
}

SearchCommand parseSearchCommand(const std::vector<std::string>& args, const ConsoleText& console) {
    SearchCommand command;
    command.options.jobs = processorCount();
    command.operands = parseArguments(args, [&](const std::string& arg, auto takeValue) {
        return handleSharedOption(arg, takeValue, command.output, command.options, command.targets);
    });
    if (command.operands.size() < 2)
        throw UsageError{"expected TARGET... and KEYWORD, got " +
                         std::to_string(command.operands.size()) + " operand(s)"};
    command.options.keyword = keywordInCodePage932(command.operands.back(), console);
    command.operands.pop_back();
    if (command.targets.includes.empty()) command.targets.includes.push_back("*.txt");
    return command;
}

// One line naming the file and the cause, as GNU tools tell a failure.
void reportFailure(RunResult result, const RunFailure& failure, std::size_t sentenceLimit,
                   const char* name = nullptr) {
    std::string cause = result == RunResult::SentenceTooLong
                            ? std::to_string(failure.line) + ": a sentence of " +
                                  std::to_string(sentenceLimit) + " bytes without an end"
                            : std::string(" ") + std::strerror(failure.error);
    std::string line =
        "tallyon-cli: " + printedPath(name ? std::string(name) : failure.path) + ":" + cause + "\n";
    std::fputs(line.c_str(), stderr);
}

int reportedStatus(RunResult result, const RunFailure& failure, std::size_t sentenceLimit) {
    if (result == RunResult::Done) return 0;
    reportFailure(result, failure, sentenceLimit);
    return static_cast<int>(result);
}

void printRows(const std::vector<RankingRow>& rows, const ConsoleText& console) {
    for (const RankingRow& row : rows) {
        std::string word =
            console.utf8Stdout ? fromCodePage932(TextEncoding::Utf8, row.word) : row.word;
        std::string text = std::to_string(row.count) + '\t' + word + '\n';
        std::fwrite(text.data(), 1, text.size(), stdout);
    }
}

// A run over one file given as it is: as the window runs it, its failure is the run's.
bool isSingleFile(const std::vector<Target>& targets) {
    return targets.size() == 1 && !targets[0].isFolder;
}

// The files of all targets, named in result.txt in code page 932 as far as it can write them.
std::vector<TargetFile> allFiles(const std::vector<Target>& targets) {
    std::vector<TargetFile> files;
    for (const Target& target : targets)
        for (const TargetFile& file : target.files)
            files.push_back({file.path, isValidUtf8(file.name)
                                            ? toCodePage932(TextEncoding::Utf8, file.name)
                                            : file.name});
    return files;
}

// Tells, in the order of the targets, each folder that stands for no file and each file left
// out, then how many files were used; the status is that of the first failure.
int reportedFileStatus(const std::vector<Target>& targets, const std::vector<FileOutcome>& outcomes,
                       std::size_t sentenceLimit) {
    int status = 0;
    std::size_t failed = 0;
    std::size_t next = 0;
    for (const Target& target : targets) {
        if (!target.problem.empty()) {
            std::fprintf(stderr, "tallyon-cli: %s: %s\n", target.argument.c_str(),
                         target.problem.c_str());
            if (status == 0) status = static_cast<int>(RunResult::TargetUnreadable);
        }
        for (const TargetFile& file : target.files) {
            const FileOutcome& outcome = outcomes[next++];
            if (outcome.result == RunResult::Done) continue;
            reportFailure(outcome.result, outcome.failure, sentenceLimit, file.name.c_str());
            ++failed;
            if (status == 0) status = static_cast<int>(outcome.result);
        }
    }
    if (status != 0)
        std::fprintf(stderr, "tallyon-cli: %zu of %zu files used\n", outcomes.size() - failed,
                     outcomes.size());
    return status;
}

// The status of a run over several files: an output that could not be written fails it whole.
int severalFilesStatus(RunResult result, const RunFailure& failure,
                       const std::vector<Target>& targets, const std::vector<FileOutcome>& outcomes,
                       std::size_t sentenceLimit) {
    int status = reportedFileStatus(targets, outcomes, sentenceLimit);
    if (result == RunResult::Done) return status;
    reportFailure(result, failure, sentenceLimit);
    return static_cast<int>(result);
}

template <class RunOptions>
std::unique_ptr<ProgressLine> progressLineFor(RunOptions& options, RunProgress& progress,
                                              const TargetOptions& targetOptions,
                                              std::size_t files) {
    options.progress = &progress;
    return std::make_unique<ProgressLine>(progress, static_cast<std::int64_t>(files),
                                          !targetOptions.quiet && stderrIsTerminal());
}

KeywordRunOptions& keywordOptionsOf(KeywordRunOptions& options) {
    return options;
}

KeywordRunOptions& keywordOptionsOf(CompoundRunOptions& options) {
    return options.words;
}

// A keyword or a compound run: a log and the rows.
template <class Command> int runRanking(Command command, const ConsoleText& console) {
    std::vector<Target> targets = findTargetFiles(command.operands, command.targets.includes);
    std::vector<TargetFile> files = allFiles(targets);
    KeywordRunOptions& keywordOptions = keywordOptionsOf(command.options);
    const std::size_t sentenceLimit = keywordOptions.sentenceLimit;
    std::vector<RankingRow> rows;
    RunFailure failure;
    RunProgress progress;
    auto progressLine = progressLineFor(keywordOptions, progress, command.targets, files.size());
    if (isSingleFile(targets)) {
        RunResult result =
            run(files[0], command.output.c_str(), std::move(command.options), rows, &failure);
        progressLine.reset();
        printRows(rows, console);
        return reportedStatus(result, failure, sentenceLimit);
    }
    std::vector<FileOutcome> outcomes;
    RunResult result =
        run(files, command.output.c_str(), std::move(command.options), rows, outcomes, &failure);
    progressLine.reset();
    printRows(rows, console);
    return severalFilesStatus(result, failure, targets, outcomes, sentenceLimit);
}

int runSearch(SearchCommand command) {
    std::vector<Target> targets = findTargetFiles(command.operands, command.targets.includes);
    std::vector<TargetFile> files = allFiles(targets);
    RunFailure failure;
    RunProgress progress;
    auto progressLine = progressLineFor(command.options, progress, command.targets, files.size());
    if (isSingleFile(targets)) {
        RunResult result = run(files[0], command.output.c_str(), command.options, &failure);
        progressLine.reset();
        return reportedStatus(result, failure, command.options.sentenceLimit);
    }
    std::vector<FileOutcome> outcomes;
    RunResult result = run(files, command.output.c_str(), command.options, outcomes, &failure);
    progressLine.reset();
    return severalFilesStatus(result, failure, targets, outcomes, command.options.sentenceLimit);
}

int dispatch(const std::vector<std::string>& args, const ConsoleText& console) {
    for (const std::string& arg : args) {
        if (arg == "--") break;
        if (arg == "--help" || arg == "-h") {
            std::fputs(usageText, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::fputs("tallyon-cli " TALLYON_VERSION "\n", stdout);
            return 0;
        }
    }
    if (args.empty()) throw UsageError{"missing command: keywords, compounds or search"};
    const std::string& command = args[0];
    if (command == "keywords") return runRanking(parseKeywordCommand(args), console);
    if (command == "compounds") return runRanking(parseCompoundCommand(args), console);
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
