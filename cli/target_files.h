#pragma once

#include "keyword_engine.h"

#include <string>
#include <vector>

// What one target of the command line stands for: a file, or the files below a folder.
struct Target {
    std::string argument;
    bool isFolder = false;
    std::vector<TargetFile> files; // a folder's, in byte order of their paths below it
    std::string problem;           // why a folder stands for no file, if it does not
};

// The targets as given. A folder stands for every regular file below it whose name matches one of
// the patterns, hidden files and folders left out; a file stands for itself, whatever its name.
std::vector<Target> findTargetFiles(const std::vector<std::string>& arguments,
                                    const std::vector<std::string>& includes);

// Whether a file name matches a pattern of * (any run of characters), ? (any one character) and
// [...] (one of a set of characters or ranges, or with a leading ! any other), matched byte by
// byte.
bool matchesPattern(const std::string& name, const std::string& pattern);
