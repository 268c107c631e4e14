#pragma once

#include "char_classes.h"
#include "conversions.h"
#include "keyword_engine.h"

#include <array>
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

// The least length in bytes of a word of each class, by the class's value: a switch on the class
// of every run would cost a mispredicted jump each time. Runs of separators and control bytes are
// never words, however long the sentence limit lets them grow.
using MinimumWordBytes = std::array<std::uint32_t, 256>;
MinimumWordBytes minimumWordBytes(const KeywordRunOptions& options);

// Whether a run is a word: the minimum is taken unsigned, so a negative one retains no word of its
// class.
inline bool isRetained(CharClass charClass, std::string_view word,
                       const MinimumWordBytes& minimums) {
    return word.size() >= minimums[static_cast<unsigned char>(charClass)];
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
