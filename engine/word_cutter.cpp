#include "word_cutter.h"

#include <new>

WordCutter::WordCutter(const KeywordRunOptions& options, WordTable& counts)
    : options(options), byteClassTable(byteClasses(options.englishMode)), counts(counts) {}

// The reader outlives the counting thread, which may still be counting words of its last block.
RunResult WordCutter::cut(SentenceReader& reader, std::FILE* target, bool onSecondThread,
                          RunFailure& failure) {
    CountingThread countingThread(counts, onSecondThread);
    counter = &countingThread;
    RunResult result = reader.read(target, options.encoding, *this, failure);
    bool counted = countingThread.finish();
    counter = nullptr;
    if (!counted) throw std::bad_alloc();
    return result;
}

// The batch whose words were handed over before is the one that may still be being counted.
void WordCutter::startBlock(const char* blockText) {
    filling = filling == &batches[0] ? &batches[1] : &batches[0];
    filling->clearWords();
    filling->text = blockText;
}

void WordCutter::endBlock() {
    if (!counter->finish()) throw std::bad_alloc();
    counter->count(*filling);
}
