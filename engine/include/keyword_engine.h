#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

// The most keyword rows a run fills, and the window shows.
constexpr int maxKeywordRows = 50;
// A sentence that reaches this many bytes without an end stops the run over its file; the window
// always uses the default, batch runs may raise it up to the most.
constexpr std::size_t defaultSentenceLimit = 1024;
constexpr std::size_t mostSentenceLimit = 1024 * 1024;

enum class RunResult {
    Done = 0,
    OutputError = 1,      // keyword.log / result.txt could not be opened, written or closed
    TargetUnreadable = 2, // the target could not be opened or read, or a sentence failed
    RankingFailed = 3,
    SentenceTooLong = 4, // the sentence limit reached without an end
};

// How the target's bytes are read: Auto decides by byte order mark or content (text_encoding.h);
// every other encoding is converted to Shift-JIS (code page 932) before the sentence scan.
enum class TextEncoding { Auto, ShiftJis, Utf8, Utf16LE, Utf16BE };

// The encoding of a table written for a spreadsheet: UTF-8 with a byte order mark, so that Excel
// opens Japanese text as it is, UTF-8 without one, or code page 932 bytes as they are.
enum class CsvEncoding { Utf8WithBom, Utf8, ShiftJis };

// Minimum word lengths in bytes, in this order of character classes.
enum class WordClass {
    HalfWidthAlphanumeric,
    HalfWidthKatakana,
    FullWidthAlphanumeric,
    Hiragana,
    Katakana,
    Kanji
};

// What a run has done so far, for a caller that shows it while the run goes on.
struct RunProgress {
    std::atomic<std::int64_t> bytesRead{0}; // of the targets as they are stored
    std::atomic<std::int64_t> filesDone{0};
};

// The number of jobs a run takes unless told otherwise: one per processor.
inline int processorCount() {
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

struct KeywordRunOptions {
    std::array<int, 6> minBytes = {};   // by WordClass
    int minimumCount = 0;               // smallest count written to the log
    int rows = 0;                       // ranking rows handed back, at most maxKeywordRows
    bool toFullWidth = false;           // also count half-width katakana words in full width
    bool toUpper = false;               // also count half-width letters in upper case
    bool englishMode = false;           // " ' and , separate words
    std::vector<std::string> userWords; // ascending byte order, as the lists keep them
    std::vector<std::string> excludedWords;
    TextEncoding encoding = TextEncoding::Auto;
    TextEncoding outputEncoding = TextEncoding::ShiftJis; // of keyword.log: ShiftJis or Utf8
    std::size_t sentenceLimit = defaultSentenceLimit;
    int jobs = 1;                    // files read and counted at once, and threads that rank
    RunProgress* progress = nullptr; // updated as the run goes on, if given
    // Tables written besides the log when their paths are given: every ranked word as
    // word,count,files; and for each file, every ranked word counted in it as file,word,count.
    std::string csvPath = {};
    std::string perFileCsvPath = {};
    CsvEncoding csvEncoding = CsvEncoding::Utf8WithBom;
};

// A compound run ranks chains of 2 to maxWords words that stand next to each other in a sentence,
// cut apart only because the character class changed: kanji words, katakana words and words of
// letters and digits. The text is cut into words as a keyword run cuts it; any other word, a word
// too short for its class, an excluded word and a sentence end break a chain. A chain is counted
// as the text has it and, where a conversion that is on changes one of its words, once more in
// converted form. A chain that is a user word is left out.
struct CompoundRunOptions {
    KeywordRunOptions words; // the cutting, the lists, the rows and the log, as a keyword run's
    int maxWords = 4;        // fewer than 2 count as 2
};

struct SearchRunOptions {
    std::string keyword;
    bool toFullWidth = false;
    bool toUpper = false;
    TextEncoding encoding = TextEncoding::Auto;
    TextEncoding outputEncoding = TextEncoding::ShiftJis; // of result.txt: ShiftJis or Utf8
    std::size_t sentenceLimit = defaultSentenceLimit;
    int jobs = 1;
    RunProgress* progress = nullptr;
    // A table written besides the result file when its path is given: every sentence listed there
    // as file,line,left,match,right, cut around the first occurrence of the keyword.
    std::string csvPath = {};
    CsvEncoding csvEncoding = CsvEncoding::Utf8WithBom;
};

// Why a run ended with a result other than Done, for a caller that tells the user.
struct RunFailure {
    std::string path;      // the output file or table for OutputError, else the target
    int error = 0;         // errno of the open, read, write or close that failed; ENOMEM when
                           // memory ran out; 0 for SentenceTooLong
    std::int64_t line = 0; // SentenceTooLong: the line where the sentence begins
};

struct RankingRow {
    std::int64_t count;
    std::string word;
};

// A target file: `path` as openFile takes it, `name` as result.txt and the tables show it (code
// page 932).
struct TargetFile {
    std::string path;
    std::string name;
};

// How the run went for one of several targets: a file that fails is left out whole.
struct FileOutcome {
    RunResult result = RunResult::Done;
    RunFailure failure;
};

// Paths are opened as openFile (open_file.h) opens them: on Windows they are UTF-8.

// Ranks the words of the target into the log at logPath and hands back the first rows
// (options.rows at most; fewer when fewer words qualify). Takes the lists by value so that a
// caller that no longer needs them can move them in. A run that fails fills `failure` if given.
RunResult run(const char* targetPath, const char* logPath, KeywordRunOptions options,
              std::vector<RankingRow>& rows, RunFailure* failure = nullptr);
// The same, with the name that the tables give the target.
RunResult run(const TargetFile& target, const char* logPath, KeywordRunOptions options,
              std::vector<RankingRow>& rows, RunFailure* failure = nullptr);

// Ranks the words of several targets together: a word's count is the sum of its counts in each
// file. A target that cannot be read, or whose sentence reaches the limit, is left out whole and
// its outcome tells why; the others are counted. The result is that of the log alone: Done,
// OutputError, or a failure of the run as a whole (`failure` names it).
RunResult run(const std::vector<TargetFile>& targets, const char* logPath,
              KeywordRunOptions options, std::vector<RankingRow>& rows,
              std::vector<FileOutcome>& outcomes, RunFailure* failure = nullptr);

// Ranks the compound candidates of the target into the log at logPath, as the keyword run ranks
// words, and hands back the first rows.
RunResult run(const char* targetPath, const char* logPath, CompoundRunOptions options,
              std::vector<RankingRow>& rows, RunFailure* failure = nullptr);
RunResult run(const TargetFile& target, const char* logPath, CompoundRunOptions options,
              std::vector<RankingRow>& rows, RunFailure* failure = nullptr);

// Ranks the compound candidates of several targets together; the targets fare as in the keyword
// run over several.
RunResult run(const std::vector<TargetFile>& targets, const char* logPath,
              CompoundRunOptions options, std::vector<RankingRow>& rows,
              std::vector<FileOutcome>& outcomes, RunFailure* failure = nullptr);

// Writes every sentence of the target holding the keyword to the result file at resultPath,
// between its two banners. A run that fails fills `failure` if given.
RunResult run(const char* targetPath, const char* resultPath, const SearchRunOptions& options,
              RunFailure* failure = nullptr);
RunResult run(const TargetFile& target, const char* resultPath, const SearchRunOptions& options,
              RunFailure* failure = nullptr);

// Searches several targets: between the banners, the hits of each file in the order of the
// targets, each file with hits introduced by a line naming it. A target that fails is left out
// whole, as for the keyword run.
RunResult run(const std::vector<TargetFile>& targets, const char* resultPath,
              const SearchRunOptions& options, std::vector<FileOutcome>& outcomes,
              RunFailure* failure = nullptr);
