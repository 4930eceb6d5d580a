#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

// GNU Unifont in its .hex form: one line per code point, "XXXX:" and 32 hex
// digits (an 8x16 glyph) or 64 (16x16), scan lines top to bottom, the leftmost
// pixel in the most significant bit.
inline constexpr const char* kUnifontHexPath = "/usr/share/unifont/unifont.hex";

class unifont_hex {
 public:
  // Reads the file; false when it cannot be read.
  bool load(const std::string& path);

  // The glyph of a code point as 16 scan lines of 2 bytes: a 16-wide glyph as
  // it is, an 8-wide one centred in the 16-wide cell. Nothing when Unifont
  // has no glyph for it.
  std::optional<std::array<std::uint8_t, 32>> full_width(char32_t code) const;

  // The glyph as 16 scan lines of 1 byte, for 8-wide glyphs only.
  std::optional<std::array<std::uint8_t, 16>> half_width(char32_t code) const;

  std::size_t size() const { return glyphs_.size(); }

 private:
  std::unordered_map<char32_t, std::string> glyphs_;  // the hex digits
};
