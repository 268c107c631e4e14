#pragma once

// Atomically puts the file at `from` in place of the file at `to`, replacing it if it exists.
bool replaceFile(const char* from, const char* to);
