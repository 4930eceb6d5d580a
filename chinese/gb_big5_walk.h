#pragma once

#include <cstdint>
#include <string_view>

#include "chinese/draw_list.h"

// The walk the GB and Big5 views share; glyph_of gives the glyph of a pair
// (a lead byte that ends the text comes with a second byte of 0).
template <typename GlyphOf>
draw_list gb_big5_walk(std::string_view text, const glyph16& marker, GlyphOf glyph_of) {
  draw_list list;
  int x = 0, y = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto byte = static_cast<std::uint8_t>(text[i]);
    if (byte == '\t') {
      x += kTabStep;
    } else if (byte == '\n') {
    } else if (byte == '\r') {
      y += kLineHeight;
      x = 0;
    } else if (byte == ' ') {
      x += kHalfWidth;
    } else if (byte < 0x20) {
      list.push_back(draw_item::make_glyph(x, y, marker, true));
      x += kHalfWidth;
    } else if (byte < 0x80) {
      list.push_back(draw_item::make_ascii(x, y, byte));
      x += kHalfWidth;
    } else {
      std::uint8_t second = i + 1 < text.size() ? static_cast<std::uint8_t>(text[++i]) : 0;
      list.push_back(draw_item::make_glyph(x, y, glyph_of(byte, second)));
      x += kGlyphSide;
    }
  }
  return list;
}
