#include "keyword_engine.h"

#include "conversions.h"
#include "shift_jis.h"

#include <vector>

namespace {

constexpr unsigned char CR = 0x0D;
constexpr unsigned char LF = 0x0A;
constexpr unsigned char fullWidthPunctuationLead = 0x81;
constexpr size_t sentenceLimit = 1024;  // a sentence that reaches this many bytes without an end
constexpr size_t blockSize = 64 * 1024; // results do not depend on it: the scan state carries over

bool isHalfWidthSentenceEnd(unsigned char b) {
    return b == '.' || b == '!' || b == '?';
}

// Second bytes of 。 ！ ？ after 0x81.
bool isFullWidthSentenceEnd(unsigned char second) {
    return second == 0x42 || second == 0x49 || second == 0x48;
}

} // namespace

KeywordEngine::KeywordEngine(const char* outputPath, int minBytesHankakuEisuKigo,
                             int minBytesHankakuKatakana, int minBytesZenkakuEisuKigo,
                             int minBytesZenkakuHiragana, int minBytesZenkakuKatakana,
                             int minBytesZenkakuKanji, int minimumCounts, int keywordCounts,
                             int toDouble, int toUpper, int englishMode)
    : runKind(KeywordRun),
      outputPath(outputPath), minBytes{minBytesHankakuEisuKigo, minBytesHankakuKatakana,
                                       minBytesZenkakuEisuKigo, minBytesZenkakuHiragana,
                                       minBytesZenkakuKatakana, minBytesZenkakuKanji},
      minimumCounts(minimumCounts), keywordCounts(keywordCounts), toDouble(toDouble),
      toUpper(toUpper), englishMode(englishMode) {
    openOutput(outputPath);
}

KeywordEngine::KeywordEngine(const char* outputPath, const char* searchKeyword, int toDouble,
                             int toUpper)
    : runKind(SearchRun), outputPath(outputPath), toDouble(toDouble), toUpper(toUpper),
      searchKeyword(searchKeyword) {
    openOutput(outputPath);
    // The keyword is compared in the same converted form as every sentence; it never changes.
    searchNeedle = searchKeyword;
    if (toDouble == 1) searchNeedle = toFullWidthKana(searchNeedle);
    if (toUpper == 1) searchNeedle = toUpperCase(searchNeedle);
}

KeywordEngine::~KeywordEngine() {
    if (output) std::fclose(output);
}

// Binary mode with CR LF composed into every line: the file's bytes are the same on every platform.
void KeywordEngine::openOutput(const char* path) {
    sentence.reserve(sentenceLimit + 2);
    output = std::fopen(path, "wb");
    if (output) std::setvbuf(output, nullptr, _IOFBF, 64 * 1024);
}

void KeywordEngine::writeOutput(std::string_view bytes) {
    if (!output) return;
    if (std::fwrite(bytes.data(), 1, bytes.size(), output) != bytes.size()) outputFailed = true;
}

RunResult KeywordEngine::stopRun(RunResult code) {
    if (output) std::fclose(output);
    output = nullptr;
    resultCode = code;
    return code;
}

RunResult KeywordEngine::run(const char* targetPath) {
    if (!output) {
        resultCode = ResultIoError;
        return resultCode;
    }
    std::FILE* target = std::fopen(targetPath, "rb");
    if (!target) return stopRun(ResultSearchError);
    RunResult scanned = readTarget(target);
    std::fclose(target);
    if (scanned != ResultOk) return stopRun(scanned);

    try {
        expandCandidates();
    } catch (...) {
        return stopRun(ResultSearchError);
    }
    try {
        buildRanking();
    } catch (...) {
        return stopRun(ResultKeywordError);
    }
    if (std::fflush(output) != 0 || outputFailed) resultCode = ResultIoError;
    return resultCode;
}

RunResult KeywordEngine::readTarget(std::FILE* target) {
    std::vector<unsigned char> block(blockSize);
    for (;;) {
        size_t size = std::fread(block.data(), 1, block.size(), target);
        for (size_t i = 0; i < size; ++i) {
            // A zero byte is skipped as if it were not in the file.
            if (block[i] == 0) continue;
            RunResult result = scanByte(block[i]);
            if (result != ResultOk) return result;
        }
        if (size < block.size()) break;
    }
    if (std::ferror(target)) return ResultSearchError;
    return finishLastSentence();
}

// One byte of the sentence scan. The scan follows character boundaries: the second byte of a
// double-byte character never starts 。！？, while CR, LF, '.', '!' and '?' (never a second byte)
// keep their meaning wherever they stand.
RunResult KeywordEngine::scanByte(unsigned char b) {
    if (pendingFullWidthEnd) {
        pendingFullWidthEnd = false;
        if (isFullWidthSentenceEnd(b)) {
            sentence.push_back(static_cast<char>(fullWidthPunctuationLead));
            sentence.push_back(static_cast<char>(b));
            previousByte = b;
            return endSentence();
        }
        RunResult result = appendToSentence(fullWidthPunctuationLead);
        if (result != ResultOk) return result;
        atSecondByte = true;
    }

    RunResult result = ResultOk;
    if (b == CR || (b == LF && previousByte != CR)) {
        atSecondByte = false;
        ++lineCount;
        try {
            processSentence();
        } catch (...) {
            return ResultSearchError;
        }
        sentence.clear();
    } else if (b == LF) {
        // The LF of a CR LF pair: the line break was counted at the CR.
    } else if (isHalfWidthSentenceEnd(b)) {
        atSecondByte = false;
        sentence.push_back(static_cast<char>(b));
        result = endSentence();
    } else if (atSecondByte) {
        atSecondByte = false;
        result = appendToSentence(b);
    } else if (b == fullWidthPunctuationLead) {
        pendingFullWidthEnd = true;
    } else {
        atSecondByte = isLeadByte(b);
        result = appendToSentence(b);
    }
    previousByte = b;
    return result;
}

RunResult KeywordEngine::appendToSentence(unsigned char b) {
    sentence.push_back(static_cast<char>(b));
    return sentence.size() >= sentenceLimit ? ResultBufferOverflow : ResultOk;
}

RunResult KeywordEngine::endSentence() {
    try {
        processSentence();
    } catch (...) {
        return ResultSearchError;
    }
    sentence.clear();
    return ResultOk;
}

// Text after the last line break still forms a line, as if a line break followed it.
RunResult KeywordEngine::finishLastSentence() {
    if (pendingFullWidthEnd) {
        pendingFullWidthEnd = false;
        RunResult result = appendToSentence(fullWidthPunctuationLead);
        if (result != ResultOk) return result;
    }
    if (sentence.empty()) return ResultOk;
    ++lineCount;
    return endSentence();
}

void KeywordEngine::processSentence() {
    stripTags();
    if (runKind == KeywordRun) {
        segmentSentence();
    } else {
        sentenceHit = 0;
        matchSentence();
        if (sentenceHit == 1) writeResultLine();
    }
}

// '<' opens a tag and '>' closes it; both are dropped with everything inside. Neither can be the
// second byte of a double-byte character, so the byte-wise test never cuts one.
void KeywordEngine::stripTags() {
    sentenceText.clear();
    bool insideTag = false;
    for (char c : sentence) {
        if (c == '<')
            insideTag = true;
        else if (c == '>')
            insideTag = false;
        else if (!insideTag)
            sentenceText.push_back(c);
    }
}
