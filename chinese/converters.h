#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Byte converters between the local double-byte forms (GB 2312 in EUC form,
// Big5) and ISO-2022-CN. Each appends to the output and returns how many
// characters it could not carry over faithfully (each became a substitute), so
// a caller can tell the user that the text was damaged.

// What iso2022cn_to_gb writes for anything it cannot show in GB 2312.
inline constexpr std::string_view kGbSubstitute = "\x15\x69";

// Decodes ISO-2022-CN into GB 2312 EUC bytes. Control bytes, blanks and ASCII
// pass unchanged; GB 2312 characters are written with the high bit set; other
// character sets (CNS 11643) and malformed input give kGbSubstitute.
std::size_t iso2022cn_to_gb(std::string_view input, std::string& output);

// Encodes GB 2312 EUC text, and EUC pairs of CNS planes 2 and 3 marked with the
// 0x8E prefix, as ISO-2022-CN (7-bit; designations repeated on every line, SI
// before every line end and at the end of the text). Bytes that do not form a
// character are written as GB 2312 WHITE SQUARE (row 1, column 85).
std::size_t gb_to_iso2022cn(std::string_view input, std::string& output);

// Encodes Big5 text as ISO-2022-CN with CNS 11643 planes 1 and 2 in the form
// of RFC 1922: plane 1 in G1 (ESC $ ) G, SO), plane 2 in G2 (ESC $ * H, ESC N
// before each character). Big5 codes without a plane 1 or 2 counterpart and
// broken pairs are written as kBig5CnsSubstitute.
std::size_t big5_to_iso2022cn(std::string_view input, std::string& output);

// A CNS 11643 code: plane byte (0x21 plane 1, 0x22 plane 2), row and column
// bytes, each from 0x21 to 0x7E.
struct cns_code {
  std::uint8_t plane;
  std::uint8_t row;
  std::uint8_t column;
  bool operator==(const cns_code&) const = default;
};

// Plane 1, 0x217B: WHITE SQUARE, the character of Big5 0xA1BC, which the
// Chinese views also draw for codes their fonts lack.
inline constexpr cns_code kBig5CnsSubstitute{0x21, 0x21, 0x7B};

// The CNS 11643 plane 1 or 2 character of a Big5 pair, or nothing when the
// pair is not Big5 or its character lies on no plane 1 or 2.
std::optional<cns_code> big5_to_cns_known(std::uint8_t lead, std::uint8_t trail);

// big5_to_cns_known, with kBig5CnsSubstitute for pairs it does not know.
cns_code big5_to_cns(std::uint8_t lead, std::uint8_t trail);
