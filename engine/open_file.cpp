#include "open_file.h"

std::FILE* openFile(const char* path, const char* mode) {
    return std::fopen(path, mode);
}
