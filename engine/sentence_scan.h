#pragma once

#include "shift_jis.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The byte tests of the sentence scan (sentence_reader.h), inline for its loop.
namespace sentence_scan {

constexpr unsigned char CR = 0x0D;
constexpr unsigned char LF = 0x0A;
constexpr unsigned char fullWidthPunctuationLead = 0x81; // 。！？ are 0x81 0x42, 0x49, 0x48
// Results do not depend on the block size: a sentence that runs past the end of a block is
// carried to the front of the buffer and completed from the next block.
constexpr size_t blockSize = 256 * 1024;
// Bytes after a buffer's text that are read but never taken as text: a word table reads the eight
// bytes of a short word whole (WordTable::addOneToEach).
constexpr size_t blockPadding = 8;

enum class ScanAction : unsigned char {
    Ordinary,
    LineBreakCR,
    LineBreakLF,
    HalfWidthEnd,
    FullWidthLead,
    TagMark
};

inline std::array<ScanAction, 256> buildScanActions() {
    std::array<ScanAction, 256> actions{};
    actions[CR] = ScanAction::LineBreakCR;
    actions[LF] = ScanAction::LineBreakLF;
    actions['.'] = actions['!'] = actions['?'] = ScanAction::HalfWidthEnd;
    actions[fullWidthPunctuationLead] = ScanAction::FullWidthLead;
    actions['<'] = actions['>'] = ScanAction::TagMark;
    return actions;
}

inline const std::array<ScanAction, 256> scanActions = buildScanActions();

constexpr std::uint64_t lowBits = 0x0101010101010101ull;

// The high bit of each of the eight bytes that equals `value`; bytes above such a byte may show
// it as well, which only costs a closer look.
inline std::uint64_t bytesEqualTo(std::uint64_t eight, unsigned char value) {
    std::uint64_t differences = eight ^ (lowBits * value);
    return (differences - lowBits) & ~differences & (lowBits << 7);
}

// Whether eight bytes may hold a byte that the scan acts on, given the eight bytes that follow
// each of them: a 0x81 counts only before the second byte of 。！？.
inline bool mayHoldScanAction(std::uint64_t eight, std::uint64_t following) {
    std::uint64_t actions = bytesEqualTo(eight, CR) | bytesEqualTo(eight, LF) |
                            bytesEqualTo(eight, '.') | bytesEqualTo(eight, '!') |
                            bytesEqualTo(eight, '?') | bytesEqualTo(eight, '<') |
                            bytesEqualTo(eight, '>');
    std::uint64_t fullWidthEnds = bytesEqualTo(eight, fullWidthPunctuationLead) &
                                  (bytesEqualTo(following, 0x42) | bytesEqualTo(following, 0x49) |
                                   bytesEqualTo(following, 0x48));
    return (actions | fullWidthEnds) != 0;
}

#if defined(__SSE2__)
// The same test for sixteen bytes, with the instructions that every x86-64 processor has.
inline bool mayHoldScanAction(const char* sixteen) {
    auto bytesEqualTo = [](__m128i bytes, unsigned char value) {
        return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(value)));
    };
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sixteen));
    __m128i following = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sixteen + 1));
    __m128i actions = _mm_or_si128(
        _mm_or_si128(_mm_or_si128(bytesEqualTo(bytes, CR), bytesEqualTo(bytes, LF)),
                     _mm_or_si128(bytesEqualTo(bytes, '.'), bytesEqualTo(bytes, '!'))),
        _mm_or_si128(bytesEqualTo(bytes, '?'),
                     _mm_or_si128(bytesEqualTo(bytes, '<'), bytesEqualTo(bytes, '>'))));
    __m128i fullWidthEnds = _mm_and_si128(
        bytesEqualTo(bytes, fullWidthPunctuationLead),
        _mm_or_si128(bytesEqualTo(following, 0x42),
                     _mm_or_si128(bytesEqualTo(following, 0x49), bytesEqualTo(following, 0x48))));
    return _mm_movemask_epi8(_mm_or_si128(actions, fullWidthEnds)) != 0;
}
#endif

// Skips bytes that the scan would pass over: many at a time while they and the byte after them
// are in the block, then one at a time.
inline size_t skipOrdinaryBytes(const char* data, size_t i, size_t limit) {
#if defined(__SSE2__)
    for (; i + 17 <= limit; i += 16)
        if (mayHoldScanAction(data + i)) break;
#endif
    for (; i + 9 <= limit; i += 8) {
        std::uint64_t eight;
        std::uint64_t following;
        std::memcpy(&eight, data + i, 8);
        std::memcpy(&following, data + i + 1, 8);
        if (mayHoldScanAction(eight, following)) break;
    }
    while (i < limit && scanActions[static_cast<unsigned char>(data[i])] == ScanAction::Ordinary)
        ++i;
    return i;
}

inline bool isFullWidthEndSecondByte(unsigned char b) {
    return b == 0x42 || b == 0x49 || b == 0x48;
}

// Whether data[at] starts a character, for a sentence that starts at data[start]. Only lead-range
// bytes can pair with the byte after them, and a sentence starts on a boundary, so the bytes just
// before `at` that are all in the lead range pair up from their first: `at` is a boundary exactly
// when they are even in number.
inline bool startsCharacter(const char* data, size_t start, size_t at) {
    size_t leadRange = 0;
    while (at > start && isLeadByte(static_cast<unsigned char>(data[at - 1]))) {
        --at;
        ++leadRange;
    }
    return leadRange % 2 == 0;
}

// A zero byte counts as if it were not in the file.
inline size_t removeZeroBytes(char* data, size_t size) {
    if (!std::memchr(data, 0, size)) return size;
    return std::remove(data, data + size, '\0') - data;
}

} // namespace sentence_scan
