#include "tools/unifont_hex.h"

#include <cstdlib>
#include <fstream>

namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The bytes of a string of hex digits; false when a digit is not one.
bool hex_bytes(const std::string& digits, std::uint8_t* bytes) {
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
    int high = hex_value(digits[i]), low = hex_value(digits[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes[i / 2] = static_cast<std::uint8_t>(high << 4 | low);
  }
  return true;
}

}  // namespace

bool unifont_hex::load(const std::string& path) {
  std::ifstream file(path);
  if (!file) return false;
  std::string line;
  while (std::getline(file, line)) {
    std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string digits = line.substr(colon + 1);
    if (digits.size() != 32 && digits.size() != 64) continue;
    char* end = nullptr;
    unsigned long code = std::strtoul(line.c_str(), &end, 16);
    if (end != line.c_str() + colon) continue;
    glyphs_[static_cast<char32_t>(code)] = digits;
  }
  return !glyphs_.empty();
}

std::optional<std::array<std::uint8_t, 32>> unifont_hex::full_width(char32_t code) const {
  auto found = glyphs_.find(code);
  if (found == glyphs_.end()) return std::nullopt;
  std::array<std::uint8_t, 32> glyph{};
  if (found->second.size() == 64) {
    if (!hex_bytes(found->second, glyph.data())) return std::nullopt;
    return glyph;
  }
  std::array<std::uint8_t, 16> half{};
  if (!hex_bytes(found->second, half.data())) return std::nullopt;
  for (int line = 0; line < 16; ++line) {
    glyph[line * 2] = static_cast<std::uint8_t>(half[line] >> 4);
    glyph[line * 2 + 1] = static_cast<std::uint8_t>(half[line] << 4);
  }
  return glyph;
}

std::optional<std::array<std::uint8_t, 16>> unifont_hex::half_width(char32_t code) const {
  auto found = glyphs_.find(code);
  if (found == glyphs_.end() || found->second.size() != 32) return std::nullopt;
  std::array<std::uint8_t, 16> glyph{};
  if (!hex_bytes(found->second, glyph.data())) return std::nullopt;
  return glyph;
}
