#include "sentence_reader.h"

#include "shift_jis.h"
#include "target_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr unsigned char CR = 0x0D;
constexpr unsigned char LF = 0x0A;
constexpr unsigned char fullWidthPunctuationLead = 0x81; // 。！？ are 0x81 0x42, 0x49, 0x48
// Results do not depend on the block size: a sentence that runs past the end of a block is
// carried to the front of the buffer and completed from the next block.
constexpr size_t blockSize = 256 * 1024;

enum class ScanAction : unsigned char {
    Ordinary,
    LineBreakCR,
    LineBreakLF,
    HalfWidthEnd,
    FullWidthLead,
    TagMark
};

std::array<ScanAction, 256> buildScanActions() {
    std::array<ScanAction, 256> actions{};
    actions[CR] = ScanAction::LineBreakCR;
    actions[LF] = ScanAction::LineBreakLF;
    actions['.'] = actions['!'] = actions['?'] = ScanAction::HalfWidthEnd;
    actions[fullWidthPunctuationLead] = ScanAction::FullWidthLead;
    actions['<'] = actions['>'] = ScanAction::TagMark;
    return actions;
}

const std::array<ScanAction, 256> scanActions = buildScanActions();

constexpr std::uint64_t lowBits = 0x0101010101010101ull;

// The high bit of each of the eight bytes that equals `value`; bytes above such a byte may show
// it as well, which only costs a closer look.
std::uint64_t bytesEqualTo(std::uint64_t eight, unsigned char value) {
    std::uint64_t differences = eight ^ (lowBits * value);
    return (differences - lowBits) & ~differences & (lowBits << 7);
}

// Whether eight bytes may hold a byte that the scan acts on, given the eight bytes that follow
// each of them: a 0x81 counts only before the second byte of 。！？.
bool mayHoldScanAction(std::uint64_t eight, std::uint64_t following) {
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
bool mayHoldScanAction(const char* sixteen) {
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
size_t skipOrdinaryBytes(const char* data, size_t i, size_t limit) {
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

bool isFullWidthEndSecondByte(unsigned char b) {
    return b == 0x42 || b == 0x49 || b == 0x48;
}

// Whether data[at] starts a character, for a sentence that starts at data[start]. Only lead-range
// bytes can pair with the byte after them, and a sentence starts on a boundary, so the bytes just
// before `at` that are all in the lead range pair up from their first: `at` is a boundary exactly
// when they are even in number.
bool startsCharacter(const char* data, size_t start, size_t at) {
    size_t leadRange = 0;
    while (at > start && isLeadByte(static_cast<unsigned char>(data[at - 1]))) {
        --at;
        ++leadRange;
    }
    return leadRange % 2 == 0;
}

// A zero byte counts as if it were not in the file.
size_t removeZeroBytes(char* data, size_t size) {
    if (!std::memchr(data, 0, size)) return size;
    return std::remove(data, data + size, '\0') - data;
}

} // namespace

RunResult SentenceReader::read(std::FILE* target, TextEncoding encoding, const SentenceSink& sink,
                               RunFailure& failure) {
    TargetText text(target, encoding); // the one place where the target's bytes come in
    for (std::vector<char>& buffer : buffers) buffer.resize(maxSentenceBytes + blockSize);
    size_t unfinished = 0;
    for (int turn = 0;; turn = 1 - turn) {
        char* data = buffers[turn].data();
        sink.startBlock(sink.run, data);
        bool lastBlock = false;
        size_t read = text.read(data + unfinished, blockSize, lastBlock, failure.error);
        if (failure.error != 0) return RunResult::TargetUnreadable;
        size_t end = unfinished + removeZeroBytes(data + unfinished, read);
        size_t unfinishedStart = 0;
        RunResult result = scanSentences(data, end, lastBlock, unfinishedStart, sink);
        // Every line break before the sentence has ended a sentence of its own and is counted.
        if (result == RunResult::SentenceTooLong) failure.line = lineCount + 1;
        if (result != RunResult::Done) return result;
        if (!sink.endBlock(sink.run)) return RunResult::TargetUnreadable;
        if (lastBlock) return RunResult::Done;
        unfinished = end - unfinishedStart;
        std::memcpy(buffers[1 - turn].data(), data + unfinishedStart, unfinished);
    }
}

// Splits data[0, end) into sentences. A sentence ends at a line break (CR, LF, or CR LF counted
// once) or with its terminator . ! ? 。 ！ ？; a 0x81 counts as the start of 。！？ only where it
// starts a character. The last byte of a block is decided with the next block: where the
// unfinished sentence starts is returned in `unfinishedStart`. After the last block, what is left
// is processed as a line of its own.
RunResult SentenceReader::scanSentences(char* data, size_t end, bool lastBlock,
                                        size_t& unfinishedStart, const SentenceSink& sink) {
    size_t limit = lastBlock || end == 0 ? end : end - 1;
    size_t start = 0;
    bool hasTag = false;
    size_t i = 0;
    while (i < limit) {
        unsigned char b = static_cast<unsigned char>(data[i]);
        size_t sentenceEnd = i;
        switch (scanActions[b]) {
        case ScanAction::Ordinary:
            i = skipOrdinaryBytes(data, i + 1, limit);
            continue;
        case ScanAction::TagMark:
            hasTag = true;
            ++i;
            continue;
        case ScanAction::FullWidthLead:
            if (i + 1 == end ||
                !isFullWidthEndSecondByte(static_cast<unsigned char>(data[i + 1])) ||
                !startsCharacter(data, start, i)) {
                ++i;
                continue;
            }
            sentenceEnd = i + 2;
            break;
        case ScanAction::HalfWidthEnd:
            sentenceEnd = i + 1;
            break;
        case ScanAction::LineBreakLF:
            if ((i > 0 ? static_cast<unsigned char>(data[i - 1]) : byteBeforeBlock) == CR) {
                start = ++i; // the LF of CR LF: the line break was counted at the CR
                continue;
            }
            [[fallthrough]];
        case ScanAction::LineBreakCR:
            sentenceEnd = i;
            break;
        }
        if (i - start >= maxSentenceBytes) return RunResult::SentenceTooLong;
        if (sentenceEnd == i) ++lineCount; // only a line break ends a sentence before itself
        RunResult result = endSentence({data + start, sentenceEnd - start}, hasTag, sink);
        if (result != RunResult::Done) return result;
        i = start = std::max(sentenceEnd, i + 1);
        hasTag = false;
    }
    if (i - start >= maxSentenceBytes) return RunResult::SentenceTooLong;
    if (lastBlock) {
        if (start == end) return RunResult::Done;
        ++lineCount; // text after the last line break is a line as if a line break followed it
        return endSentence({data + start, end - start}, hasTag, sink);
    }
    if (start > 0) byteBeforeBlock = static_cast<unsigned char>(data[start - 1]);
    unfinishedStart = start;
    return RunResult::Done;
}

// A failure while handling one sentence ends the run.
RunResult SentenceReader::endSentence(std::string_view sentence, bool hasTag,
                                      const SentenceSink& sink) {
    try {
        sink.sentence(sink.run, hasTag ? stripTags(sentence) : sentence, !hasTag, lineCount);
    } catch (...) {
        return RunResult::TargetUnreadable;
    }
    return RunResult::Done;
}

// '<' opens a tag and '>' closes it; both are dropped with everything inside. Neither can be the
// second byte of a double-byte character, so the byte-wise test never cuts one.
std::string_view SentenceReader::stripTags(std::string_view sentence) {
    strippedText.clear();
    bool insideTag = false;
    for (char c : sentence) {
        if (c == '<')
            insideTag = true;
        else if (c == '>')
            insideTag = false;
        else if (!insideTag)
            strippedText.push_back(c);
    }
    return strippedText;
}
