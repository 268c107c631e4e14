#pragma once

#include <cstdio>
#include <string_view>

// keyword.log or result.txt, written in binary mode with CR LF composed into every line, so that
// the file's bytes are the same on every platform. A run is done only once close() has succeeded:
// a write that failed, or a close that could not flush, leaves a cut file.
class OutputFile {
  public:
    OutputFile() = default;
    ~OutputFile() { close(); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool open(const char* path);
    void write(std::string_view bytes);
    // False when any write, the flush or the close failed.
    bool close();

  private:
    std::FILE* file = nullptr;
    bool failed = false;
};
