#include "large_pages.h"

#include <cstdint>

#include <sys/mman.h>

namespace {

constexpr std::uintptr_t pageSize = 4096;

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

// The pages that lie wholly inside the array. Linux takes this advice since 5.14; an older one
// refuses it, and the pages are faulted in as they are written.
void prefault(void* start, std::size_t bytes) {
    std::uintptr_t first =
        (reinterpret_cast<std::uintptr_t>(start) + pageSize - 1) & ~(pageSize - 1);
    std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(start) + bytes) & ~(pageSize - 1);
    if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
}
