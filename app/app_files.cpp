#include "app_files.h"

#include "texts.h"

#include <windows.h>

std::string iniPath;
std::string userWordPath;
std::string excludedListPath;
std::string keywordLogPath;
std::string resultPath;

// Defined in this order so that excludedWords is destroyed first.
WordList userWords;
WordList excludedWords;

void findFilePaths() {
    // The longest path that Windows gives a program.
    std::wstring executablePath(32768, L'\0');
    executablePath.resize(GetModuleFileNameW(nullptr, executablePath.data(), 32768));
    std::string folder = utf8Text(executablePath);
    folder.resize(folder.rfind('\\') + 1); // with the backslash, or empty without one
    iniPath = folder + "init.ini";
    userWordPath = folder + "userword.lst";
    excludedListPath = folder + "ignore.lst";
    keywordLogPath = folder + "keyword.log";
    resultPath = folder + "result.txt";
}

bool loadWordLists() {
    if (!loadWordList(userWordPath.c_str(), userWords)) {
        showError(userWordListMessage);
        return false;
    }
    if (!loadWordList(excludedListPath.c_str(), excludedWords)) {
        showError(excludedListMessage);
        return false;
    }
    return true;
}

bool saveWordLists() {
    if (!saveWordList(userWordPath.c_str(), userWords)) {
        showError(userWordListMessage);
        return false;
    }
    if (!saveWordList(excludedListPath.c_str(), excludedWords)) {
        showError(excludedListMessage);
        return false;
    }
    return true;
}
