#pragma once

#include <cstdio>

// Opens a file as std::fopen does. A path is the bytes the system takes on Linux; on Windows it is
// UTF-8 and the file is opened through its UTF-16 form, so that a folder or file name may hold any
// character, whatever the system's code page.
std::FILE* openFile(const char* path, const char* mode);
