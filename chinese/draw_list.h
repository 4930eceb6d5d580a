#pragma once

#include <cstdint>
#include <vector>

#include "chinese/hzk16.h"

// What a Chinese text view draws: the walks of the views turn text into a
// list of cells, and whoever paints (the desktop views, the rasteriser)
// draws the cells in order, each covering what lies under it.
//
// Coordinates are pixels from the view's top left corner. A glyph covers 16
// by 16 pixels, an ASCII character 8 by 16; set bits and the ASCII font's ink
// are dark, the rest of the cell is light.
struct draw_item {
  enum class kind : std::uint8_t {
    glyph,  // the 32 bytes of a 16x16 glyph: 16 scan lines of 2 bytes
    ascii,  // one byte drawn with the 8x16 ASCII font
  };
  kind what;
  // The cell stands for something the view does not show as text: a control
  // byte or an escape sequence it does not know.
  bool marker;
  std::uint8_t character;  // for ascii
  int x;
  int y;
  glyph16 glyph;  // for glyph

  static draw_item make_glyph(int x, int y, const glyph16& glyph, bool marker = false) {
    return {kind::glyph, marker, 0, x, y, glyph};
  }
  static draw_item make_ascii(int x, int y, std::uint8_t character, bool marker = false) {
    return {kind::ascii, marker, character, x, y, {}};
  }
};

using draw_list = std::vector<draw_item>;

// Cell sizes and steps of the layout.
inline constexpr int kGlyphSide = 16;
inline constexpr int kHalfWidth = 8;
inline constexpr int kLineHeight = 16;
inline constexpr int kTabStep = 64;
