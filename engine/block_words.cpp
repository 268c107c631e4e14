#include "block_words.h"

#include <new>

// The batch whose words were handed over before is the one that may still be being counted.
void BlockWords::startBlock(const char* blockText) {
    filling = filling == &batches[0] ? &batches[1] : &batches[0];
    filling->clearWords();
    filling->text = blockText;
}

void BlockWords::endBlock() {
    if (!counter->finish()) throw std::bad_alloc();
    counter->count(*filling);
}
