#pragma once

// Reading a whole file and saving one safely, as the word lists and init.ini are read and written.
// Paths are as openFile (open_file.h) takes them: UTF-8 on Windows.

#include <string>
#include <string_view>

// Appends the whole file to `data`. False when the file cannot be opened or read; errno then
// tells why, ENOENT when there is no such file.
bool readWholeFile(const char* path, std::string& data);

// Writes `data` to a new file beside `path`, named as it with ".tmp" added, and only then puts it
// in the place of `path`, so that a failure at any point leaves the old file as it was and no
// temporary file behind. False on any failure.
bool saveWholeFile(const char* path, std::string_view data);

#ifdef _WIN32
// A path in the UTF-16 form that the wide functions of Windows take.
std::wstring widePath(const char* path);
#endif
