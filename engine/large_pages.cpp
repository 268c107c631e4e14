#include "large_pages.h"

// Where the engine asks for no large pages, large arrays need no boundary of their own either.
void* allocateInLargePages(std::size_t bytes) {
    return ::operator new(bytes);
}

void freeInLargePages(void* start) {
    ::operator delete(start);
}

void prefault(void*, std::size_t) {}
