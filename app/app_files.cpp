#include "app_files.h"

#include "texts.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

char iniPath[pathSize];
char userWordPath[pathSize];
char excludedListPath[pathSize];
char keywordLogPath[pathSize];
char resultPath[pathSize];

// Defined in this order so that ignoreWords is destroyed first.
WordList userWords;
WordList ignoreWords;

namespace {

// A path longer than the buffer is cut short rather than overrunning it. The folder ends with a
// backslash.
void buildPath(char* path, const char* folder, const char* fileName) {
    std::snprintf(path, pathSize, "%s%s", folder, fileName);
}

} // namespace

void findFilePaths() {
    char executablePath[pathSize] = {};
    GetModuleFileNameA(nullptr, executablePath, pathSize);
    char folder[pathSize] = {};
    if (const char* lastBackslash = std::strrchr(executablePath, '\\'))
        std::memcpy(folder, executablePath, lastBackslash + 1 - executablePath);
    buildPath(iniPath, folder, "init.ini");
    buildPath(userWordPath, folder, "userword.lst");
    buildPath(excludedListPath, folder, "ignore.lst");
    buildPath(keywordLogPath, folder, "keyword.log");
    buildPath(resultPath, folder, "result.txt");
}

bool loadWordLists() {
    if (!loadWordList(userWordPath, userWords)) {
        showError(userWordListMessage);
        return false;
    }
    if (!loadWordList(excludedListPath, ignoreWords)) {
        showError(excludedListMessage);
        return false;
    }
    return true;
}

bool saveWordLists() {
    if (!saveWordList(userWordPath, userWords)) {
        showError(userWordListMessage);
        return false;
    }
    if (!saveWordList(excludedListPath, ignoreWords)) {
        showError(excludedListMessage);
        return false;
    }
    return true;
}
