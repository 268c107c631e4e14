// loadWordList over arbitrary file bytes, checked against the format read plainly; then the words
// are saved and must come back unchanged.

#include "fuzz_support.h"
#include "test_files.h"
#include "word_lists.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr char endOfData = 0x1A; // Ctrl-Z

// The format read plainly: the data ends at Ctrl-Z, CR bytes are dropped, LF ends a line, a NUL
// ends the line's word, empty lines carry no word.
WordSet wordsReadPlainly(std::string_view file) {
    std::string text(file.substr(0, file.find(endOfData)));
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    std::vector<std::string> words = wordsOf(text);
    return WordSet(words.begin(), words.end());
}

std::string savedForm(const WordSet& words) {
    std::string file;
    for (const std::string& word : words) file += word + "\r\n";
    return file;
}

// One folder for the whole fuzzing session, removed at its end. In memory where the system has
// such a folder: a list replaced on a disk file system is written out at once, which is slow.
struct ListFolder {
    ListFolder() {
        std::filesystem::path parent = std::filesystem::is_directory("/dev/shm")
                                           ? "/dev/shm"
                                           : std::filesystem::temp_directory_path();
        path = parent / ("tallyon-fuzz-lists-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
    }
    ~ListFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path path;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    static ListFolder folder;
    std::string_view file(reinterpret_cast<const char*>(data), size);
    std::string listPath = (folder.path / "list.lst").string();
    writeBytes(listPath, std::string(file));

    WordSet words;
    require(loadWordList(listPath.c_str(), words), "a readable list loads");
    require(words == wordsReadPlainly(file), "the words are those of the format");

    require(saveWordList(listPath.c_str(), words), "the list saves");
    require(readBytes(listPath) == savedForm(words), "saved as sorted words with CR LF");
    WordSet reloaded;
    require(loadWordList(listPath.c_str(), reloaded) && reloaded == words,
            "a saved list loads unchanged");
    return 0;
}
