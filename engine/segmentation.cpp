#include "keyword_engine.h"

#include "conversions.h"

#include <cstdint>

// Cuts sentenceText into maximal runs of one character class. Only runs of the six word classes
// can be retained, and those never hold a control byte as a character of their own, so every
// retained word is the slice of the sentence that its run covers.
void KeywordEngine::segmentSentence() {
    std::string_view text = sentenceText;
    const ByteClassTable& singleByteClasses = byteClasses(englishMode == 1);
    int runClass = Separator;
    size_t runStart = 0;
    for (size_t i = 0; i < text.size();) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        int charClass = singleByteClasses[b];
        size_t length = 1;
        if (charClass == startsPair) {
            // A lead byte at the end of the sentence pairs with the terminating NUL.
            bool hasSecond = i + 1 < text.size();
            length = hasSecond ? 2 : 1;
            charClass = classOfPair(b, hasSecond ? static_cast<unsigned char>(text[i + 1]) : 0);
            if (charClass == continuesRun) charClass = runClass;
        }
        if (charClass != runClass) {
            finishWord(runClass, text.substr(runStart, i - runStart));
            runClass = charClass;
            runStart = i;
        }
        i += length;
    }
    finishWord(runClass, text.substr(runStart));
}

// The word is counted with the rest of its block; one that does not lie in the block is copied.
void KeywordEngine::registerWord(std::string_view word, bool inBlock) {
    if (inBlock)
        filling->words.push_back({static_cast<std::uint32_t>(word.data() - filling->text.data()),
                                  static_cast<std::uint32_t>(word.size())});
    else
        filling->copiedWords.emplace_back(word);
}

int KeywordEngine::minBytesFor(int charClass) const {
    switch (charClass) {
    case HankakuEisuKigo:
        return minBytes[0];
    case HankakuKatakana:
        return minBytes[1];
    case ZenkakuEisuKigo:
        return minBytes[2];
    case ZenkakuHiragana:
        return minBytes[3];
    case ZenkakuKatakana:
        return minBytes[4];
    case ZenkakuKanji:
        return minBytes[5];
    default:
        return 9999;
    }
}

// The length is compared unsigned, so a negative minimum retains no word of its class. A converted
// form is registered as well as the word itself, and only when it differs from it.
void KeywordEngine::finishWord(int charClass, std::string_view word) {
    if (static_cast<std::uint32_t>(word.size()) <
        static_cast<std::uint32_t>(minBytesFor(charClass)))
        return;
    if (charClass == HankakuKatakana && toDouble == 1) {
        toFullWidthKana(word, convertedText);
        if (convertedText != word) registerWord(convertedText, false);
    }
    if (charClass == HankakuEisuKigo && toUpper == 1) {
        toUpperCase(word, convertedText);
        if (convertedText != word) registerWord(convertedText, false);
    }
    registerWord(word, sentenceInBlock);
}
