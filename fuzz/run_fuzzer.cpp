// A keyword, compound or search run over arbitrary bytes, with its options from the input, compared
// with the reference engine; then the same target read behind zero bytes that move one of the
// engine's 256 KiB block boundaries into it, and the target in UTF-8 or UTF-16 where it converts
// back to the same bytes, must give the same outcome. Layout of the input:
//   1 byte    the kind of run: even keywords, odd search; and with 2 UTF-16LE, else UTF-8 below;
//             keywords with 4 are compounds, of chains of 2 + (bits 3 and 4) words at most
//   6 bytes   the minimum word lengths (signed)      1 byte  minimum count (signed)
//   1 byte    rows (signed)                          3 bytes full width, upper case, English: 1 on
//   2 bytes   where the block boundary falls in the target (little-endian, modulo its size + 1)
//   1 byte    size of the user-word list             1 byte  size of the excluded-word list
//   the two lists (one word per LF; for a search the first is the keyword), then the target.

#include "keyword_engine.h"
#include "reference_engine.h"
#include "text_encoding.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// A file in memory only, reachable through a path.
struct MemoryFile {
    int fd = memfd_create("tallyon-fuzz", 0);
    std::string path = "/proc/self/fd/" + std::to_string(fd);
    ~MemoryFile() { close(fd); }

    // The bytes after `zeros` zero bytes, which cost nothing: they are a hole in the file.
    void write(std::string_view bytes, size_t zeros = 0) {
        if (ftruncate(fd, 0) || ftruncate(fd, zeros) ||
            pwrite(fd, bytes.data(), bytes.size(), zeros) != ssize_t(bytes.size()))
            std::abort();
    }
};

// One word per LF-ended line, as the lists hand them over: sorted, unique, no NUL, never empty.
std::vector<std::string> wordsOf(std::string_view list) {
    std::set<std::string> words;
    for (size_t end; !list.empty(); list.remove_prefix(std::min(end + 1, list.size()))) {
        end = std::min(list.find('\n'), list.size());
        std::string_view word = list.substr(0, std::min(end, list.find('\0')));
        if (!word.empty()) words.emplace(word);
    }
    return {words.begin(), words.end()};
}

struct Input {
    std::string_view bytes;
    int take() {
        int byte = bytes.empty() ? 0 : static_cast<signed char>(bytes[0]);
        bytes.remove_prefix(std::min<size_t>(1, bytes.size()));
        return byte;
    }
    std::string_view take(size_t count) {
        std::string_view taken = bytes.substr(0, count);
        bytes.remove_prefix(taken.size());
        return taken;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    Input input{{reinterpret_cast<const char*>(data), size}};
    RunCase c;
    const int kind = input.take();
    c.search = kind & 1;
    if (!c.search && (kind & 4)) c.maxWords = 2 + (kind >> 3 & 3);
    KeywordRunOptions& o = c.options;
    for (int& least : o.minBytes) least = input.take();
    o.minimumCount = input.take();
    o.rows = input.take();
    o.toFullWidth = input.take() == 1, o.toUpper = input.take() == 1,
    o.englishMode = input.take() == 1;
    const unsigned boundary = (input.take() & 0xff) | (input.take() & 0xff) << 8;
    const size_t userListSize = input.take() & 0xff, excludedListSize = input.take() & 0xff;
    const std::string_view userList = input.take(userListSize);
    o.userWords = wordsOf(userList);
    o.excludedWords = wordsOf(input.take(excludedListSize));
    c.keyword = userList.substr(0, userList.find('\0'));
    const std::string_view text = input.bytes;

    MemoryFile target, output;
    target.write(text);
    auto engine = [](auto&&... a) { return run(a...); };
    auto reference = [](auto&&... a) { return reference::run(a...); };
    const std::string outcome = outcomeOf(engine, c, target.path, output.path);
    if (outcome != outcomeOf(reference, c, target.path, output.path)) std::abort();
    target.write(text, 256 * 1024 - boundary % (text.size() + 1));
    if (outcome != outcomeOf(engine, c, target.path, output.path)) std::abort();
    const TextEncoding encoding = kind & 2 ? TextEncoding::Utf16LE : TextEncoding::Utf8;
    const std::string converted = fromCodePage932(encoding, text);
    if (toCodePage932(encoding, converted) != text) return 0;
    target.write(converted);
    if (outcome != outcomeOf(engine, c, target.path, output.path, encoding)) std::abort();
    return 0;
}
