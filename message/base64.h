#pragma once

#include <optional>
#include <string>
#include <string_view>

// Base64 text of the bytes: lines of 60 characters, each ended by CR LF, and
// one CR LF more at the end.
std::string rfc822_binary(std::string_view bytes);

// The bytes that base64 text stands for. Characters outside the alphabet
// (line breaks, blanks) are skipped; misplaced padding gives nothing.
std::optional<std::string> base64_decode(std::string_view text);
