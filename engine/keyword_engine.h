#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The most keyword rows a run fills, and the window shows.
constexpr int maxKeywordRows = 50;
// A sentence that reaches this many bytes without an end stops the run.
constexpr std::size_t maxSentenceBytes = 1024;

enum class RunResult {
    Done = 0,
    OutputError = 1,      // keyword.log / result.txt could not be opened, written or closed
    TargetUnreadable = 2, // the target could not be opened or read, or a sentence failed
    RankingFailed = 3,
    SentenceTooLong = 4, // maxSentenceBytes without an end
};

// How the target's bytes are read: Auto decides by byte order mark or content (text_encoding.h);
// every other encoding is converted to Shift-JIS (code page 932) before the sentence scan.
enum class TextEncoding { Auto, ShiftJis, Utf8, Utf16LE, Utf16BE };

// Minimum word lengths in bytes, in this order of character classes.
enum class WordClass {
    HalfWidthAlphanumeric,
    HalfWidthKatakana,
    FullWidthAlphanumeric,
    Hiragana,
    Katakana,
    Kanji
};

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
};

struct SearchRunOptions {
    std::string keyword;
    bool toFullWidth = false;
    bool toUpper = false;
    TextEncoding encoding = TextEncoding::Auto;
    TextEncoding outputEncoding = TextEncoding::ShiftJis; // of result.txt: ShiftJis or Utf8
};

// Why a run ended with a result other than Done, for a caller that tells the user.
struct RunFailure {
    const char* path = nullptr; // the output file for OutputError, else the target
    int error = 0;              // errno of the open, read, write or close that failed; ENOMEM when
                                // memory ran out; 0 for SentenceTooLong
    std::int64_t line = 0;      // SentenceTooLong: the line where the sentence begins
};

struct RankingRow {
    std::int64_t count;
    std::string word;
};

// Paths are opened as openFile (open_file.h) opens them: on Windows they are UTF-8.

// Ranks the words of the target into the log at logPath and hands back the first rows
// (options.rows at most; fewer when fewer words qualify). Takes the lists by value so that a
// caller that no longer needs them can move them in. A run that fails fills `failure` if given.
RunResult run(const char* targetPath, const char* logPath, KeywordRunOptions options,
              std::vector<RankingRow>& rows, RunFailure* failure = nullptr);

// Writes every sentence of the target holding the keyword to the result file at resultPath,
// between its two banners. A run that fails fills `failure` if given.
RunResult run(const char* targetPath, const char* resultPath, const SearchRunOptions& options,
              RunFailure* failure = nullptr);
