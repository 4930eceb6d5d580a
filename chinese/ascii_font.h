#pragma once

#include <array>
#include <cstdint>
#include <string>

// The 8x16 font for single bytes ("ASC16" in the font directory): 256 glyphs
// of 16 scan lines, one byte each, leftmost pixel in the most significant bit.
using glyph8 = std::array<std::uint8_t, 16>;

struct ascii_font {
  std::array<glyph8, 256> glyphs{};
};

// Reads ASC16 from the font directory; false when it is missing or short.
bool ascii_font_load(ascii_font& font, const std::string& directory);
