#include "segmentation.h"

#include "word_cutter.h"

#include <limits>

MinimumWordBytes minimumWordBytes(const KeywordRunOptions& options) {
    MinimumWordBytes minimums;
    minimums.fill(std::numeric_limits<std::uint32_t>::max());
    auto set = [&](CharClass charClass, WordClass wordClass) {
        minimums[static_cast<unsigned char>(charClass)] =
            static_cast<std::uint32_t>(options.minBytes[static_cast<int>(wordClass)]);
    };
    set(CharClass::HalfWidthAlphanumeric, WordClass::HalfWidthAlphanumeric);
    set(CharClass::HalfWidthKatakana, WordClass::HalfWidthKatakana);
    set(CharClass::FullWidthAlphanumeric, WordClass::FullWidthAlphanumeric);
    set(CharClass::Hiragana, WordClass::Hiragana);
    set(CharClass::Katakana, WordClass::Katakana);
    set(CharClass::Kanji, WordClass::Kanji);
    return minimums;
}

WordCutter::WordCutter(const KeywordRunOptions& options, WordTable& counts, WordBatch* batches)
    : options(options), minimums(minimumWordBytes(options)),
      byteClassTable(byteClasses(options.englishMode)), words(counts, batches) {}

void WordCutter::sentence(std::string_view text, bool inBlock, std::int64_t) {
    sentenceInBlock = inBlock;
    forEachClassRun(text, byteClassTable, [this](CharClass charClass, std::string_view word) {
        finishWord(charClass, word);
    });
}

// A converted form is counted as well as the word itself, and only when it differs from it.
void WordCutter::finishWord(CharClass charClass, std::string_view word) {
    if (!isRetained(charClass, word, minimums)) return;
    if (isConverted(charClass, word, options, convertedText)) words.add(convertedText, false);
    words.add(word, sentenceInBlock);
}
