#include "large_pages.h"

#include <sys/mman.h>

namespace {

// Whole large pages, so that the last one holds nothing else.
std::size_t inWholePages(std::size_t bytes) {
    return (bytes + largePageSize - 1) / largePageSize * largePageSize;
}

} // namespace

// The advice is a hint: where the system has no large page to spare, or large pages are turned
// off, the memory is backed as it would be anyway.
void* allocateInLargePages(std::size_t bytes) {
    void* start = ::operator new (inWholePages(bytes), std::align_val_t{largePageSize});
    madvise(start, inWholePages(bytes), MADV_HUGEPAGE);
    return start;
}

void freeInLargePages(void* start) {
    ::operator delete (start, std::align_val_t{largePageSize});
}
