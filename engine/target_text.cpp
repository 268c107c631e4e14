#include "target_text.h"

#include "text_encoding.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr std::size_t chunkSize = 128 * 1024;

// errno of the read that failed, if one did; a stream may fail without naming a cause.
int readError(std::FILE* file) {
    if (!std::ferror(file)) return 0;
    return errno != 0 ? errno : EIO;
}

} // namespace

// Moves the bytes not yet passed on to the front of the chunk and reads more after them.
bool TargetText::fillChunk() {
    if (!chunk) chunk.reset(new char[chunkSize]); // uninitialised, see SentenceReader::read
    std::size_t kept = pending();
    std::memmove(chunk.get(), chunk.get() + chunkStart, kept);
    chunkStart = 0;
    std::size_t wanted = chunkSize - kept;
    std::size_t read = std::fread(chunk.get() + kept, 1, wanted, file);
    chunkEnd = kept + read;
    atEnd = read < wanted;
    error = readError(file);
    return error == 0;
}

// A byte order mark decides the encoding unless it was given, and is no part of the text.
void TargetText::startText() {
    started = true;
    if (encoding == TextEncoding::ShiftJis || !fillChunk()) return;
    ByteOrderMark mark = byteOrderMark({chunk.get(), chunkEnd});
    if (encoding == TextEncoding::Auto) encoding = mark.encoding;
    if (mark.encoding != TextEncoding::Auto && encoding == mark.encoding) chunkStart = mark.size;
}

std::size_t TargetText::read(char* into, std::size_t capacity, bool& last, int& readFailure) {
    if (!started) startText();
    last = false;
    std::size_t size = 0;
    if (error == 0 && encoding == TextEncoding::Auto) size = passAscii(into, capacity);
    if (error == 0 && !last && encoding != TextEncoding::Auto) {
        size += encoding == TextEncoding::ShiftJis ? passRest(into + size, capacity - size, last)
                                                   : convert(into + size, capacity - size, last);
    }
    readFailure = error;
    return size;
}

// Passes on the ASCII bytes up to the first byte above 0x7F, then decides the encoding from the
// window that starts there.
std::size_t TargetText::passAscii(char* into, std::size_t capacity) {
    std::size_t size = 0;
    while (encoding == TextEncoding::Auto) {
        const char* begin = chunk.get() + chunkStart;
        const char* high =
            std::find_if(begin, static_cast<const char*>(chunk.get() + chunkEnd),
                         [](char c) { return static_cast<unsigned char>(c) > 0x7F; });
        std::size_t ascii = std::min<std::size_t>(high - begin, capacity - size);
        std::copy(begin, begin + ascii, into + size);
        size += ascii;
        chunkStart += ascii;
        if (size == capacity) break;
        // A text that is ASCII to its end leaves nothing to decide from, and reads as UTF-8.
        if (pending() >= encodingWindow || atEnd)
            encoding = encodingFromFirstHighByte({chunk.get() + chunkStart, pending()}, atEnd);
        else if (!fillChunk())
            break;
    }
    return size;
}

// Shift-JIS: the bytes already in the chunk, then straight from the file.
std::size_t TargetText::passRest(char* into, std::size_t capacity, bool& last) {
    std::size_t size = std::min(pending(), capacity);
    std::copy_n(chunk.get() + chunkStart, size, into);
    chunkStart += size;
    if (pending() > 0) return size;
    if (atEnd) {
        last = true;
        return size;
    }
    std::size_t wanted = capacity - size;
    std::size_t read = std::fread(into + size, 1, wanted, file);
    error = readError(file);
    last = read < wanted;
    return size + read;
}

// Converts chunk after chunk while the block has room for what the next one may become.
std::size_t TargetText::convert(char* into, std::size_t capacity, bool& last) {
    std::size_t size = 0;
    for (;;) {
        if (pending() < maxCharacterBytes && !atEnd) {
            if (!fillChunk()) return size;
            continue;
        }
        if (pending() == 0) {
            last = true;
            return size;
        }
        std::size_t room = (capacity - size) / 2;
        if (room < maxCharacterBytes) return size;
        std::size_t take = std::min(pending(), room);
        std::size_t written = 0;
        chunkStart += toCodePage932(encoding, {chunk.get() + chunkStart, take},
                                    atEnd && take == pending(), into + size, written);
        size += written;
    }
}
