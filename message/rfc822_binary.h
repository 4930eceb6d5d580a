#pragma once

#include <string>
#include <string_view>

// The 64 characters of base64, in the order of their values.
inline constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Base64 text of the bytes: lines of 60 characters, each ended by CR LF, and
// one CR LF more at the end.
std::string rfc822_binary(std::string_view bytes);
