// loadWordList over arbitrary file bytes. A list read byte by byte (Shift-JIS or UTF-8) is checked
// against the format read plainly: the data ends at Ctrl-Z, CR bytes are dropped, LF ends a line, a
// NUL ends the line's word, empty lines carry no word. Then the list is saved, and every word must
// come back as the file had it.

#include "test_files.h"
#include "text_encoding.h"
#include "word_lists.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <unistd.h>

namespace {

WordSet wordsReadPlainly(std::string text) {
    text = text.substr(0, text.find('\x1a'));
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    WordSet words;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty() && line[0] != '\0') words.insert(line.substr(0, line.find('\0')));
    return words;
}

// In memory where the system has such a folder: a list replaced on a disk is written out at once.
const std::string listPath = (std::filesystem::is_directory("/dev/shm") ? "/dev/shm/" : "/tmp/") +
                             ("tallyon-fuzz-" + std::to_string(getpid()) + ".lst");

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    writeBytes(listPath, file);
    WordList list, reloaded;
    if (!loadWordList(listPath.c_str(), list)) std::abort();
    const WordSet& words = wordsAsInFile(list);
    if (list.encoding != TextEncoding::Utf16LE && list.encoding != TextEncoding::Utf16BE &&
        words != wordsReadPlainly(file.substr(list.mark.size())))
        std::abort();
    // A first word that begins like a byte order mark reads as one when it comes first.
    if (!saveWordList(listPath.c_str(), list) || !loadWordList(listPath.c_str(), reloaded) ||
        (byteOrderMark(readBytes(listPath)).size == list.mark.size() &&
         wordsAsInFile(reloaded) != words))
        std::abort();
    std::filesystem::remove(listPath);
    return 0;
}
