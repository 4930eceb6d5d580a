#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The internal header line that stands before every message of a Tenexdos or
// Dawz file: " 5-Dec-1996 11:53:20 +0800,1234;000000000001", then LF
// (Tenexdos) or CR LF (Dawz). The twelve digits are ten octal digits of user
// flags and two of system flags.

// Whether a line (without its end) has the shape of one: "-" at positions 2
// and 6 or 1 and 5, a "," at or after position 20 and a ";" at least two
// characters after it.
bool internal_header_shape(std::string_view line);

// The three fields between the first "," and the ";" after it.
struct internal_header_fields {
  std::string_view date;
  std::string_view length;
  std::string_view flags;
};
std::optional<internal_header_fields> internal_header_split(std::string_view line);

// A message length: decimal digits only, not zero.
std::optional<std::uint32_t> internal_header_length(std::string_view text);

// Twelve decimal digits: the user flags (user flag i is bit 29 - i of the
// octal word) and the system flags (first digit times 8 plus the second).
struct internal_header_flags {
  std::uint32_t user_flags;
  unsigned system_flags;
};
std::optional<internal_header_flags> internal_header_flags_read(std::string_view text);

// The twelve digits for the flags of an element.
std::string internal_header_flag_digits(std::uint32_t user_flags, unsigned system_flags);

// A whole line: date "," length ";" twelve digits, and the line end.
std::string internal_header_line(std::string_view date, std::uint64_t length, unsigned system_flags,
                                 std::string_view line_end);
