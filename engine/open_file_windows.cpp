#include "open_file.h"

#include <cerrno>
#include <filesystem>
#include <string>

std::FILE* openFile(const char* path, const char* mode) {
    std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    try {
        return _wfopen(std::filesystem::u8path(path).c_str(), wideMode.c_str());
    } catch (...) {
        // Not UTF-8: no file has that name.
        errno = EINVAL;
        return nullptr;
    }
}
