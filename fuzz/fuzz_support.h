#pragma once

// Helpers shared by the fuzz targets: reading settings from the fuzzer's bytes, and files in
// memory that the engine opens by path like any other file.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

// Takes fields from the front of the fuzzer's input; past its end every field reads as zero.
class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, size_t size)
        : bytes(reinterpret_cast<const char*>(data), size) {}

    unsigned char takeByte() { return bytes.empty() ? 0 : static_cast<unsigned char>(take(1)[0]); }
    int takeSignedByte() { return static_cast<signed char>(takeByte()); }
    unsigned takeTwoBytes() {
        unsigned low = takeByte();
        return low | unsigned{takeByte()} << 8;
    }
    std::string_view take(size_t count) {
        std::string_view taken = bytes.substr(0, count);
        bytes.remove_prefix(taken.size());
        return taken;
    }
    std::string_view rest() { return take(bytes.size()); }

  private:
    std::string_view bytes;
};

// The text of a C string handed to the engine: everything before the first NUL.
inline std::string_view beforeNul(std::string_view bytes) {
    return bytes.substr(0, bytes.find('\0'));
}

// One word per LF-ended line, as the word lists hand them over: without NUL, never empty.
inline std::vector<std::string> wordsOf(std::string_view list) {
    std::vector<std::string> words;
    while (!list.empty()) {
        size_t lineEnd = std::min(list.find('\n'), list.size());
        std::string_view word = beforeNul(list.substr(0, lineEnd));
        if (!word.empty()) words.emplace_back(word);
        list.remove_prefix(std::min(lineEnd + 1, list.size()));
    }
    return words;
}

// A fuzz target's own assertion: a broken property is reported and ends the run like a crash.
inline void require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

// A file that lives in memory only, reachable through a path.
class MemoryFile {
  public:
    MemoryFile()
        : fd(memfd_create("tallyon-fuzz", 0)), name("/proc/self/fd/" + std::to_string(fd)) {
        require(fd >= 0, "memfd_create works");
    }
    ~MemoryFile() { close(fd); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    const char* path() const { return name.c_str(); }

    // The bytes, after `zeros` zero bytes that cost nothing: they are a hole in the file.
    void write(std::string_view bytes, size_t zeros = 0) {
        require(ftruncate(fd, 0) == 0 && ftruncate(fd, zeros) == 0, "memory file truncates");
        require(pwrite(fd, bytes.data(), bytes.size(), zeros) == ssize_t(bytes.size()),
                "memory file takes the bytes");
    }

    std::string read() const {
        std::string bytes(lseek(fd, 0, SEEK_END), '\0');
        require(pread(fd, bytes.data(), bytes.size(), 0) == ssize_t(bytes.size()),
                "memory file gives its bytes back");
        return bytes;
    }

  private:
    int fd;
    std::string name;
};

// The engine reads its target in blocks of this many bytes. Zero bytes count as if they were not
// in the file, so a target read behind a run of them must give the same outcome: a run of the
// right length puts a block boundary at any chosen place in the target.
constexpr size_t engineBlockSize = 256 * 1024;

inline size_t zerosForBoundaryAt(unsigned place, std::string_view target) {
    return engineBlockSize - place % (target.size() + 1);
}
