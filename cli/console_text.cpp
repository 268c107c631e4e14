#include "console_text.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

namespace {

std::string convertedFromWide(const wchar_t* text, int length, UINT codePage) {
    int size = WideCharToMultiByte(codePage, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string converted(size, '\0');
    WideCharToMultiByte(codePage, 0, text, length, converted.data(), size, nullptr, nullptr);
    return converted;
}

} // namespace

ConsoleText setUpConsole() {
    // Rows end in LF alone, as on every platform.
    _setmode(_fileno(stdout), _O_BINARY);
    return {true, GetConsoleOutputCP() == CP_UTF8};
}

std::vector<std::string> programArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments) return {argv + 1, argv + argc}; // no memory to split it: the ANSI arguments
    std::vector<std::string> utf8;
    for (int i = 1; i < count; ++i)
        utf8.push_back(convertedFromWide(arguments[i], lstrlenW(arguments[i]), CP_UTF8));
    LocalFree(arguments);
    return utf8;
}

std::string printedPath(const std::string& path) {
    int length = static_cast<int>(path.size());
    int size = MultiByteToWideChar(CP_UTF8, 0, path.data(), length, nullptr, 0);
    std::wstring wide(size, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.data(), length, wide.data(), size);
    return convertedFromWide(wide.data(), size, GetConsoleOutputCP());
}

std::string foldedFileName(const std::string& name) {
    std::string folded = name;
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

bool stderrIsTerminal() {
    return _isatty(_fileno(stderr));
}

#else
#include <algorithm>
#include <cctype>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <langinfo.h>
#include <unistd.h>

namespace {

// Whether the locale that the environment names for LC_CTYPE has the codeset UTF-8, read from its
// name ("ja_JP.UTF-8", "en_US.utf8").
bool localeNameSaysUtf8() {
    const char* name = nullptr;
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"})
        if ((name = std::getenv(variable)) && *name) break;
    std::string codeset = name ? name : "";
    codeset = codeset.substr(std::min(codeset.find('.'), codeset.size()));
    for (char& c : codeset) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return codeset.rfind(".utf-8", 0) == 0 || codeset.rfind(".utf8", 0) == 0;
}

} // namespace

// A locale that is named but not installed still tells what the terminal shows, so its name
// decides when setlocale cannot load it.
ConsoleText setUpConsole() {
    bool utf8 = std::setlocale(LC_CTYPE, "") ? std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0
                                             : localeNameSaysUtf8();
    return {utf8, utf8};
}

std::vector<std::string> programArguments(int argc, char** argv) {
    return {argv + 1, argv + argc};
}

std::string printedPath(const std::string& path) {
    return path;
}

std::string foldedFileName(const std::string& name) {
    return name;
}

bool stderrIsTerminal() {
    return isatty(STDERR_FILENO);
}

#endif
