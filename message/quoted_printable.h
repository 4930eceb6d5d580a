#pragma once

#include <optional>
#include <string>
#include <string_view>

// Quoted-printable text of 8-bit text: CR LF pairs stay line breaks, lines are
// kept to 76 characters with soft line breaks, and every byte that is not
// plain printable ASCII (or is a blank a decoder would drop) becomes =XX.
std::string qprint_encode(std::string_view bytes);

// The bytes that quoted-printable text stands for: soft line breaks vanish,
// blanks at the end of a line are dropped, =XX gives the byte. Nothing when an
// "=" is followed by anything else.
std::optional<std::string> qprint_decode(std::string_view text);
