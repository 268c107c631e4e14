#pragma once

#include "keyword_engine.h"

#include <cstdio>
#include <string_view>

// keyword.log or result.txt, written in binary mode with CR LF composed into every line, so that
// the file's bytes are the same on every platform. A run is done only once close() has succeeded:
// a write that failed, or a close that could not flush, leaves a cut file.
//
// The runs hand over code page 932 text; in UTF-8 it is converted as it is written, which needs
// every write to hold whole characters, as whole lines and banners do.
class OutputFile {
  public:
    OutputFile() = default;
    ~OutputFile() { close(); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // `encoding` is ShiftJis, the bytes as they are handed over, or Utf8.
    bool open(const char* path, TextEncoding encoding);
    void write(std::string_view bytes);
    // False when any write, the flush or the close failed.
    bool close();
    // errno of the first open, write, flush or close that failed.
    int error() const { return firstError; }

  private:
    void put(std::string_view bytes);
    void fail();

    std::FILE* file = nullptr;
    TextEncoding encoding = TextEncoding::ShiftJis;
    bool failed = false;
    int firstError = 0;
};
