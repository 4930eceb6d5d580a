#pragma once

#include <optional>
#include <string>
#include <string_view>

// glibc iconv, the independent reference for the Chinese code tables: the
// generators in tools/ and the tests use it; the program itself does not.

// The text converted from one charset to another, or nothing when iconv does
// not know the charsets or cannot convert every byte of the text.
std::optional<std::string> iconv_text(const char* from, const char* to, std::string_view text);

// The Unicode code point of one character given in a charset, or nothing when
// the bytes are not exactly one character that iconv converts.
std::optional<char32_t> iconv_code_point(const char* from, std::string_view character);
