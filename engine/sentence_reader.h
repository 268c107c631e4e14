#pragma once

#include "keyword_engine.h"
#include "sentence_scan.h"
#include "target_text.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Reads a target in blocks, as Shift-JIS (see TargetText), into two buffers in turn, drops its zero
// bytes, cuts it into sentences, counts its lines and strips tags, and hands each sentence to a
// sink, a keyword run's word cutter or a search:
//   void startBlock(const char* blockText);  a new block is read into blockText; its sentences lie
//                                            there until endBlock
//   void sentence(std::string_view text, bool inBlock, std::int64_t lines);
//       one sentence, stripped of tags; `inBlock` when it lies in the block rather than in a copy;
//       `lines` counts the line breaks before its end and the one that ends it
//   void endBlock();                         the block's sentences are all handed over; the other
//                                            block's buffer is reused once this returns, and this
//                                            block's stays untouched until the next endBlock
// A sink stops the run by throwing; the run's frame turns that into its result.
// A buffer holds the unfinished sentence of the block before followed by the new bytes, so every
// sentence is contiguous in it.
class SentenceReader {
  public:
    explicit SentenceReader(std::size_t sentenceLimit, RunProgress* progress = nullptr)
        : sentenceLimit(sentenceLimit), progress(progress) {}

    // Reads one target; a reader may read one target after another, keeping its buffers. On a
    // failure to read, sets failure.error; on an overlong sentence, failure.line.
    template <class Sink>
    RunResult read(std::FILE* target, TextEncoding encoding, Sink& sink, RunFailure& failure);

  private:
    template <class Sink>
    RunResult scanSentences(char* data, size_t end, bool lastBlock, size_t& unfinishedStart,
                            Sink& sink);
    template <class Sink> void endSentence(std::string_view sentence, bool hasTag, Sink& sink) {
        sink.sentence(hasTag ? stripTags(sentence) : sentence, !hasTag, lineCount);
    }
    std::string_view stripTags(std::string_view sentence);

    std::size_t sentenceLimit;
    RunProgress* progress;
    std::unique_ptr<char[]> buffers[2];
    unsigned char byteBeforeBlock = 0; // the byte of the file just before the block's first
    std::int64_t lineCount = 0;
    std::string strippedText;
};

template <class Sink>
RunResult SentenceReader::read(std::FILE* target, TextEncoding encoding, Sink& sink,
                               RunFailure& failure) {
    using namespace sentence_scan;
    TargetText text(target, encoding); // the one place where the target's bytes come in
    // Left uninitialised: a short file touches a few pages of its buffers, not all of them.
    for (std::unique_ptr<char[]>& buffer : buffers)
        if (!buffer) buffer.reset(new char[sentenceLimit + blockSize + blockPadding]);
    byteBeforeBlock = 0;
    lineCount = 0;
    size_t unfinished = 0;
    for (int turn = 0;; turn = 1 - turn) {
        char* data = buffers[turn].get();
        sink.startBlock(data);
        bool lastBlock = false;
        size_t read = text.read(data + unfinished, blockSize, lastBlock, failure.error);
        if (failure.error != 0) return RunResult::TargetUnreadable;
        if (progress) progress->bytesRead += static_cast<std::int64_t>(read);
        size_t end = unfinished + removeZeroBytes(data + unfinished, read);
        size_t unfinishedStart = 0;
        RunResult result = scanSentences(data, end, lastBlock, unfinishedStart, sink);
        // Every line break before the sentence has ended a sentence of its own and is counted.
        if (result == RunResult::SentenceTooLong) failure.line = lineCount + 1;
        if (result != RunResult::Done) return result;
        sink.endBlock();
        if (lastBlock) return RunResult::Done;
        unfinished = end - unfinishedStart;
        std::memcpy(buffers[1 - turn].get(), data + unfinishedStart, unfinished);
    }
}

// Splits data[0, end) into sentences. A sentence ends at a line break (CR, LF, or CR LF counted
// once) or with its terminator . ! ? 。 ！ ？; a 0x81 counts as the start of 。！？ only where it
// starts a character. The last byte of a block is decided with the next block: where the
// unfinished sentence starts is returned in `unfinishedStart`. After the last block, what is left
// is processed as a line of its own.
template <class Sink>
RunResult SentenceReader::scanSentences(char* data, size_t end, bool lastBlock,
                                        size_t& unfinishedStart, Sink& sink) {
    using namespace sentence_scan;
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
        if (i - start >= sentenceLimit) return RunResult::SentenceTooLong;
        if (sentenceEnd == i) ++lineCount; // only a line break ends a sentence before itself
        endSentence({data + start, sentenceEnd - start}, hasTag, sink);
        i = start = std::max(sentenceEnd, i + 1);
        hasTag = false;
    }
    if (i - start >= sentenceLimit) return RunResult::SentenceTooLong;
    if (lastBlock) {
        if (start == end) return RunResult::Done;
        ++lineCount; // text after the last line break is a line as if a line break followed it
        endSentence({data + start, end - start}, hasTag, sink);
        return RunResult::Done;
    }
    if (start > 0) byteBeforeBlock = static_cast<unsigned char>(data[start - 1]);
    unfinishedStart = start;
    return RunResult::Done;
}

// '<' opens a tag and '>' closes it; both are dropped with everything inside. Neither can be the
// second byte of a double-byte character, so the byte-wise test never cuts one.
inline std::string_view SentenceReader::stripTags(std::string_view sentence) {
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
