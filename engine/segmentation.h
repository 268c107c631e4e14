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
//
// Where the class changes is not branched on, for no predictor could guess it: every character is
// written down as the start of a run, and only a change of class keeps it. The runs found are
// visited a round at a time.
template <class Visit>
inline void forEachClassRun(std::string_view text, const ByteClassTable& classes, Visit visit) {
    struct RunStart {
        std::uint32_t at; // a sentence is shorter than 4 GiB
        CharClass charClass;
    };
    constexpr size_t roundSize = 64;
    RunStart starts[roundSize + 1];
    starts[0] = {0, CharClass::Separator};
    size_t found = 1; // starts[found - 1] is the run in progress
    CharClass runClass = CharClass::Separator;
    auto visitRuns = [&] {
        for (size_t run = 0; run + 1 < found; ++run)
            visit(starts[run].charClass, std::string_view(text.data() + starts[run].at,
                                                          starts[run + 1].at - starts[run].at));
        starts[0] = starts[found - 1];
        found = 1;
    };
    for (size_t i = 0; i < text.size();) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        CharClass charClass = classes[b];
        size_t length = 1;
        if (charClass == CharClass::StartsPair) {
            // A lead byte at the end of the sentence pairs with the terminating NUL.
            bool hasSecond = i + 1 < text.size();
            length = hasSecond ? 2 : 1;
            charClass = classOfPair(b, hasSecond ? static_cast<unsigned char>(text[i + 1]) : 0);
            charClass = charClass == CharClass::ContinuesRun ? runClass : charClass;
        }
        starts[found] = {static_cast<std::uint32_t>(i), charClass};
        found += charClass != runClass;
        runClass = charClass;
        if (found == roundSize + 1) visitRuns();
        i += length;
    }
    visitRuns();
    visit(starts[0].charClass, text.substr(starts[0].at));
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
