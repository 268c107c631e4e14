#include "output_file.h"

bool OutputFile::open(const char* path) {
    file = std::fopen(path, "wb");
    if (file) std::setvbuf(file, nullptr, _IOFBF, 64 * 1024);
    return file != nullptr;
}

void OutputFile::write(std::string_view bytes) {
    if (file && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) failed = true;
}

bool OutputFile::close() {
    if (!file) return !failed;
    if (std::fflush(file) != 0 || std::ferror(file)) failed = true;
    if (std::fclose(file) != 0) failed = true;
    file = nullptr;
    return !failed;
}
