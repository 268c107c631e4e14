#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <vector>

// The word tables are looked up at random over tens of megabytes and grow into fresh memory. In
// pages of 4 KiB nearly every lookup misses the processor's cache of page addresses (TLB), and the
// system faults each page in and zeroes it on its own the first time a table touches it; in pages
// of 2 MiB both cost little. On Linux, large arrays are therefore laid out on 2 MiB boundaries, in
// whole large pages, and the system is asked to back them with large pages.
constexpr std::size_t largePageSize = std::size_t{2} << 20;

// Memory of at least a large page, in large pages where the engine asks for them, else as any
// other.
void* allocateInLargePages(std::size_t bytes);
void freeInLargePages(void* start);

// Smaller arrays of the tables are written whole as soon as they are allocated. Where the system
// allows it, their fresh pages are faulted in by one call rather than by a fault each, which a
// virtual machine makes costly.
constexpr std::size_t prefaultSize = 64 * 1024;
void prefault(void* start, std::size_t bytes);

template <class T> struct LargePageAllocator {
    using value_type = T;

    LargePageAllocator() = default;
    template <class U> LargePageAllocator(const LargePageAllocator<U>&) {}

    // An array smaller than a large page is allocated as any other, and prefaulted from
    // prefaultSize on.
    static bool isLarge(std::size_t n) { return n * sizeof(T) >= largePageSize; }

    T* allocate(std::size_t n) {
        if (isLarge(n)) return static_cast<T*>(allocateInLargePages(n * sizeof(T)));
        void* start = ::operator new(n * sizeof(T));
        if (n * sizeof(T) >= prefaultSize) prefault(start, n * sizeof(T));
        return static_cast<T*>(start);
    }
    void deallocate(T* start, std::size_t n) {
        if (isLarge(n))
            freeInLargePages(start);
        else
            ::operator delete(start);
    }

    friend bool operator==(const LargePageAllocator&, const LargePageAllocator&) { return true; }
    friend bool operator!=(const LargePageAllocator&, const LargePageAllocator&) { return false; }
};

// Bytes left uninitialised, in large pages where there are many.
class LargeBlockDeleter {
  public:
    explicit LargeBlockDeleter(std::size_t size = 0) : size(size) {}
    void operator()(char* bytes) const { LargePageAllocator<char>().deallocate(bytes, size); }

  private:
    std::size_t size;
};
using LargeBlock = std::unique_ptr<char[], LargeBlockDeleter>;
inline LargeBlock allocateLargeBlock(std::size_t size) {
    return LargeBlock(LargePageAllocator<char>().allocate(size), LargeBlockDeleter(size));
}

template <class T> using LargeVector = std::vector<T, LargePageAllocator<T>>;
