#pragma once

#include "keyword_engine.h"

#include <cstddef>
#include <string>
#include <string_view>

// How many bytes from the first byte above 0x7F decide between UTF-8 and Shift-JIS.
constexpr std::size_t encodingWindow = 4096;
// The most bytes one character takes in UTF-8 or UTF-16; a converter given at least this many
// bytes always makes progress.
constexpr std::size_t maxCharacterBytes = 4;

struct ByteOrderMark {
    TextEncoding encoding; // Auto without a mark
    std::size_t size;
};

// EF BB BF is UTF-8, FF FE UTF-16LE, FE FF UTF-16BE.
ByteOrderMark byteOrderMark(std::string_view start);

// For a text without a byte order mark, from its bytes that start at its first byte above 0x7F
// (`rest`, all of them to the end of the text when `endsText`): UTF-8 when the first
// encodingWindow of them, or all up to the end of the text, are valid UTF-8, otherwise
// Shift-JIS. A sequence cut by the end of the window counts as valid; one cut by the end of the
// text does not.
TextEncoding encodingFromFirstHighByte(std::string_view rest, bool endsText);

// The encoding of a text from its first bytes (`start`, the whole text when `endsText`), which
// reach encodingWindow bytes past its first byte above 0x7F unless the text ends before: its byte
// order mark decides, otherwise encodingFromFirstHighByte. Text that is ASCII throughout reads
// the same either way and counts as Shift-JIS.
TextEncoding detectEncoding(std::string_view start, bool endsText);

// Converts UTF-8, UTF-16LE or UTF-16BE text to code page 932 as Windows does, with the JIS forms
// of a few characters, into `out`, which has room for twice the bytes of `text`. A character
// without a code page 932 form, an unpaired surrogate and each maximal invalid subsequence become
// the geta mark 〓 (81 AC). A character cut by the end of `text` is left for the next call unless
// `atEnd`. Returns the bytes of `text` converted and sets `written`.
std::size_t toCodePage932(TextEncoding encoding, std::string_view text, bool atEnd, char* out,
                          std::size_t& written);

// The whole of `text` converted to code page 932 as above.
std::string toCodePage932(TextEncoding encoding, std::string_view text);

// Code page 932 text in UTF-8, UTF-16LE or UTF-16BE, decoded as Python's cp932 decoder does with
// errors="replace": a lead byte that does not form a character with the byte after it becomes
// U+FFFD, and that byte is read anew.
std::string fromCodePage932(TextEncoding encoding, std::string_view text);

// Whether all of `text` is valid UTF-8, nothing cut at its end.
bool isValidUtf8(std::string_view text);
