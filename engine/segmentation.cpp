#include "segmentation.h"

#include "word_cutter.h"

WordCutter::WordCutter(const KeywordRunOptions& options, WordTable& counts, WordBatch* batches)
    : options(options), byteClassTable(byteClasses(options.englishMode)), words(counts, batches) {}

void WordCutter::sentence(std::string_view text, bool inBlock, std::int64_t) {
    sentenceInBlock = inBlock;
    forEachClassRun(text, byteClassTable, [this](CharClass charClass, std::string_view word) {
        finishWord(charClass, word);
    });
}

// A converted form is counted as well as the word itself, and only when it differs from it.
void WordCutter::finishWord(CharClass charClass, std::string_view word) {
    if (!isRetained(charClass, word, options)) return;
    if (isConverted(charClass, word, options, convertedText)) words.add(convertedText, false);
    words.add(word, sentenceInBlock);
}
