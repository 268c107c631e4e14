#include "output_file.h"

#include "open_file.h"
#include "text_encoding.h"

#include <cerrno>

bool OutputFile::open(const char* path, TextEncoding outputEncoding) {
    encoding = outputEncoding;
    file = openFile(path, "wb");
    if (!file) {
        fail();
        return false;
    }
    std::setvbuf(file, nullptr, _IOFBF, 64 * 1024);
    return true;
}

void OutputFile::write(std::string_view bytes) {
    if (!file) return;
    if (encoding == TextEncoding::ShiftJis)
        put(bytes);
    else
        put(fromCodePage932(encoding, bytes));
}

void OutputFile::put(std::string_view bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) fail();
}

// A stream may fail without naming a cause; it is then an input/output error.
void OutputFile::fail() {
    if (!failed) firstError = errno != 0 ? errno : EIO;
    failed = true;
}

bool OutputFile::close() {
    if (!file) return !failed;
    if (std::fflush(file) != 0 || std::ferror(file)) fail();
    if (std::fclose(file) != 0) fail();
    file = nullptr;
    return !failed;
}
