#include "word_cutter.h"

#include "conversions.h"

#include <cstdint>

// Cuts the sentence into maximal runs of one character class. Only runs of the six word classes
// can be retained, and those never hold a control byte as a character of their own, so every
// retained word is the slice of the sentence that its run covers.
void WordCutter::sentence(std::string_view text, bool inBlock, std::int64_t) {
    sentenceInBlock = inBlock;
    const ByteClassTable& classes = byteClassTable; // kept in a register across the calls below
    CharClass runClass = CharClass::Separator;
    size_t runStart = 0;
    for (size_t i = 0; i < text.size();) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        CharClass charClass = classes[b];
        size_t length = 1;
        if (charClass == CharClass::StartsPair) {
            // A lead byte at the end of the sentence pairs with the terminating NUL.
            bool hasSecond = i + 1 < text.size();
            length = hasSecond ? 2 : 1;
            charClass = classOfPair(b, hasSecond ? static_cast<unsigned char>(text[i + 1]) : 0);
            if (charClass == CharClass::ContinuesRun) charClass = runClass;
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
void WordCutter::registerWord(std::string_view word, bool inBlock) {
    if (inBlock)
        filling->words.push_back({static_cast<std::uint32_t>(word.data() - filling->text),
                                  static_cast<std::uint32_t>(word.size())});
    else
        filling->copiedWords.emplace_back(word);
}

int WordCutter::minBytesFor(CharClass charClass) const {
    switch (charClass) {
    case CharClass::HalfWidthAlphanumeric:
        return options.minBytes[static_cast<int>(WordClass::HalfWidthAlphanumeric)];
    case CharClass::HalfWidthKatakana:
        return options.minBytes[static_cast<int>(WordClass::HalfWidthKatakana)];
    case CharClass::FullWidthAlphanumeric:
        return options.minBytes[static_cast<int>(WordClass::FullWidthAlphanumeric)];
    case CharClass::Hiragana:
        return options.minBytes[static_cast<int>(WordClass::Hiragana)];
    case CharClass::Katakana:
        return options.minBytes[static_cast<int>(WordClass::Katakana)];
    case CharClass::Kanji:
        return options.minBytes[static_cast<int>(WordClass::Kanji)];
    default:
        return 9999;
    }
}

// The length is compared unsigned, so a negative minimum retains no word of its class. A converted
// form is registered as well as the word itself, and only when it differs from it.
void WordCutter::finishWord(CharClass charClass, std::string_view word) {
    if (static_cast<std::uint32_t>(word.size()) <
        static_cast<std::uint32_t>(minBytesFor(charClass)))
        return;
    if (charClass == CharClass::HalfWidthKatakana && options.toFullWidth) {
        toFullWidthKana(word, convertedText);
        if (convertedText != word) registerWord(convertedText, false);
    }
    if (charClass == CharClass::HalfWidthAlphanumeric && options.toUpper) {
        toUpperCase(word, convertedText);
        if (convertedText != word) registerWord(convertedText, false);
    }
    registerWord(word, sentenceInBlock);
}
