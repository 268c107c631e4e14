#pragma once

#include "keyword_engine.h"

#include <cstddef>
#include <cstdio>
#include <memory>

// The bytes of a target as Shift-JIS, block by block. Shift-JIS is read straight into the block;
// UTF-8 and UTF-16 are read in chunks and converted, so memory does not grow with the target.
// With Auto, the ASCII bytes before the first byte above 0x7F pass unchanged while the encoding
// is still open, since they read the same in UTF-8 and Shift-JIS.
class TargetText {
  public:
    TargetText(std::FILE* file, TextEncoding encoding) : file(file), encoding(encoding) {}

    // Fills `into` with up to `capacity` bytes (at least 2 * maxCharacterBytes); `last` when the
    // target ends with them. A failed read sets `error` to its errno.
    std::size_t read(char* into, std::size_t capacity, bool& last, int& error);

  private:
    bool fillChunk();
    void startText();
    std::size_t passAscii(char* into, std::size_t capacity);
    std::size_t passRest(char* into, std::size_t capacity, bool& last);
    std::size_t convert(char* into, std::size_t capacity, bool& last);
    std::size_t pending() const { return chunkEnd - chunkStart; }

    std::FILE* file;
    TextEncoding encoding;
    bool started = false;
    int error = 0; // errno of a read that failed
    std::unique_ptr<char[]>
        chunk; // bytes read and not yet passed on are chunk[chunkStart, chunkEnd)
    std::size_t chunkStart = 0;
    std::size_t chunkEnd = 0;
    bool atEnd = false; // nothing follows the chunk's bytes
};
