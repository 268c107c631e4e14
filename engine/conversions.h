#pragma once

#include "shift_jis.h"

#include <string>
#include <string_view>

// Half-width katakana become full-width katakana; a kana followed by its voiced or semi-voiced
// mark becomes the one composed full-width character. Everything else is copied unchanged.
std::string toFullWidthKana(std::string_view text);

// ASCII a-z become A-Z; the second byte of a double-byte character is never touched.
std::string toUpperCase(std::string_view text);

// The same conversions into a caller's buffer, which is overwritten; lets hot loops reuse storage.
void toFullWidthKana(std::string_view text, std::string& out);
void toUpperCase(std::string_view text, std::string& out);
