#include "mail/internal_header.h"

#include <cstdio>

namespace {

bool all_digits(std::string_view text) {
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

constexpr unsigned kUserFlagBits = 30;

}  // namespace

bool internal_header_shape(std::string_view line) {
  auto dash_at = [line](std::size_t i) { return i < line.size() && line[i] == '-'; };
  if (!(dash_at(2) && dash_at(6)) && !(dash_at(1) && dash_at(5))) return false;
  std::size_t comma = line.find(',', 20);
  return comma != std::string_view::npos && line.find(';', comma + 2) != std::string_view::npos;
}

std::optional<internal_header_fields> internal_header_split(std::string_view line) {
  std::size_t comma = line.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  std::size_t semicolon = line.find(';', comma + 1);
  if (semicolon == std::string_view::npos) return std::nullopt;
  return internal_header_fields{line.substr(0, comma),
                                line.substr(comma + 1, semicolon - comma - 1),
                                line.substr(semicolon + 1)};
}

std::optional<std::uint32_t> internal_header_length(std::string_view text) {
  if (text.empty() || text.size() > 10 || !all_digits(text)) return std::nullopt;
  std::uint64_t length = 0;
  for (char c : text)
    length = length * 10 + static_cast<unsigned>(c - '0');
  if (length == 0 || length > UINT32_MAX) return std::nullopt;
  return static_cast<std::uint32_t>(length);
}

std::optional<internal_header_flags> internal_header_flags_read(std::string_view text) {
  if (text.size() != 12 || !all_digits(text)) return std::nullopt;
  std::uint32_t word = 0;
  for (std::size_t i = 0; i < 10; ++i)
    word = word * 8 + static_cast<unsigned>(text[i] - '0');
  std::uint32_t user_flags = 0;
  for (unsigned i = 0; i < kUserFlagBits; ++i) {
    if (word & (1u << (kUserFlagBits - 1 - i))) user_flags |= 1u << i;
  }
  unsigned system_flags = static_cast<unsigned>(text[10] - '0') * 8 + (text[11] - '0');
  return internal_header_flags{user_flags, system_flags & 15};
}

std::string internal_header_flag_digits(std::uint32_t user_flags, unsigned system_flags) {
  std::uint32_t word = 0;
  for (unsigned i = 0; i < kUserFlagBits; ++i) {
    if (user_flags & (1u << i)) word |= 1u << (kUserFlagBits - 1 - i);
  }
  char digits[16];
  std::snprintf(digits, sizeof digits, "%010o%02o", word, system_flags & 15);
  return digits;
}

std::string internal_header_line(std::string_view date, std::uint64_t length, unsigned system_flags,
                                 std::string_view line_end) {
  std::string line(date);
  line += ',';
  line += std::to_string(length);
  line += ';';
  line += internal_header_flag_digits(0, system_flags);
  line += line_end;
  return line;
}
