#pragma once

#include "settings.h"

#include <cstring>
#include <ostream>

// Opens the main window in this process as start-up does, with `settings` in appSettings.
// Returns false when it cannot be created.
bool openMainWindow(const AppSettings& settings);

// Destroys the main window, if it is still open, and drops the quit message that follows.
void closeMainWindow();

// For comparing and printing settings in tests; found by argument lookup, so beside AppSettings in
// the global namespace.
inline bool operator==(const AppSettings& a, const AppSettings& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

inline std::ostream& operator<<(std::ostream& out, const AppSettings& s) {
    return out << "{" << s.minBytes[0] << "," << s.minBytes[1] << "," << s.minBytes[2] << ","
               << s.minBytes[3] << "," << s.minBytes[4] << "," << s.minBytes[5] << " counts "
               << s.minimumCounts << " rows " << s.keywordCounts << " double " << s.toDouble
               << " upper " << s.toUpper << "}";
}
