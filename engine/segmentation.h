#pragma once

#include "char_classes.h"
#include "conversions.h"
#include "keyword_engine.h"

#include <cstdint>
#include <string>
#include <string_view>

// How a sentence is cut into words, shared by the runs that count its words and its compounds.

// Cuts the sentence into maximal runs of one character class and calls visit(charClass, run) for
// each, in order; the first run may be an empty separator. Only runs of the six word classes can
// be retained, and those never hold a control byte as a character of their own, so every retained
// word is the slice of the sentence that its run covers.
template <class Visit>
inline void forEachClassRun(std::string_view text, const ByteClassTable& classes, Visit visit) {
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
            visit(runClass, text.substr(runStart, i - runStart));
            runClass = charClass;
            runStart = i;
        }
        i += length;
    }
    visit(runClass, text.substr(runStart));
}

inline int minBytesFor(CharClass charClass, const KeywordRunOptions& options) {
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

// Whether a run is a word: the length is compared unsigned, so a negative minimum retains no word
// of its class.
inline bool isRetained(CharClass charClass, std::string_view word,
                       const KeywordRunOptions& options) {
    return static_cast<std::uint32_t>(word.size()) >=
           static_cast<std::uint32_t>(minBytesFor(charClass, options));
}

// Whether a conversion that is on changes the word; its converted form is then in `converted`.
inline bool isConverted(CharClass charClass, std::string_view word,
                        const KeywordRunOptions& options, std::string& converted) {
    if (charClass == CharClass::HalfWidthKatakana && options.toFullWidth) {
        toFullWidthKana(word, converted);
        return converted != word;
    }
    if (charClass == CharClass::HalfWidthAlphanumeric && options.toUpper) {
        toUpperCase(word, converted);
        return converted != word;
    }
    return false;
}
