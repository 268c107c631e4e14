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

std::string pathArgument(const std::string& argument) {
    int length = static_cast<int>(argument.size());
    int size = MultiByteToWideChar(CP_UTF8, 0, argument.data(), length, nullptr, 0);
    std::wstring wide(size, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, argument.data(), length, wide.data(), size);
    return convertedFromWide(wide.data(), size, CP_ACP);
}

#else
#include <clocale>
#include <cstring>
#include <langinfo.h>

ConsoleText setUpConsole() {
    bool utf8 = std::setlocale(LC_CTYPE, "") && std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
    return {utf8, utf8};
}

std::vector<std::string> programArguments(int argc, char** argv) {
    return {argv + 1, argv + argc};
}

std::string pathArgument(const std::string& argument) {
    return argument;
}

#endif
