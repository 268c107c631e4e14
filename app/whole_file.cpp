#include "whole_file.h"

#include "open_file.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>

std::wstring widePath(const char* path) {
    int size = MultiByteToWideChar(CP_UTF8, 0, path, -1, nullptr, 0);
    std::wstring wide(size, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path, -1, wide.data(), size);
    wide.resize(size > 0 ? size - 1 : 0);
    return wide;
}

namespace {

bool replaceFile(const char* from, const char* to) {
    return MoveFileExW(widePath(from).c_str(), widePath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void removeFile(const char* path) {
    DeleteFileW(widePath(path).c_str());
}

} // namespace
#else
namespace {

bool replaceFile(const char* from, const char* to) {
    return std::rename(from, to) == 0;
}

void removeFile(const char* path) {
    std::remove(path);
}

} // namespace
#endif

bool readWholeFile(const char* path, std::string& data) {
    std::FILE* file = openFile(path, "rb");
    if (!file) return false;
    char block[64 * 1024];
    for (size_t size; (size = std::fread(block, 1, sizeof block, file)) > 0;)
        data.append(block, size);
    bool readWhole = !std::ferror(file);
    std::fclose(file);
    return readWhole;
}

bool saveWholeFile(const char* path, std::string_view data) {
    std::string temporaryPath = std::string(path) + ".tmp";
    std::FILE* file = openFile(temporaryPath.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(data.data(), 1, data.size(), file) == data.size();
    written = std::fflush(file) == 0 && written;
    written = std::fclose(file) == 0 && written;
    if (written && replaceFile(temporaryPath.c_str(), path)) return true;
    removeFile(temporaryPath.c_str());
    return false;
}
