#include "large_pages.h"

void adviseLargePages(void*, std::size_t) {}
