#include "large_pages.h"

#include <sys/mman.h>

// A hint: where the system has no large page to spare, the memory is backed as it would be anyway.
void adviseLargePages(void* start, std::size_t bytes) {
    madvise(start, bytes, MADV_HUGEPAGE);
}
