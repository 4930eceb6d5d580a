#include "chinese/raster.h"

#include <algorithm>

namespace {

// Copies one scan line of a cell (bytes, leftmost pixel first) to (x, y),
// light where the cell is clear.
void put_line(bitmap_image& image, int x, int y, const std::uint8_t* line, int width) {
  if (y < 0 || y >= image.height) return;
  std::uint8_t* row = image.bits.data() + static_cast<std::size_t>(y) * image.row_bytes();
  if (x >= 0 && x % 8 == 0 && x + width <= image.width) {
    std::copy_n(line, width / 8, row + x / 8);
    return;
  }
  for (int i = 0; i < width; ++i) {
    int px = x + i;
    if (px < 0 || px >= image.width) continue;
    auto mask = static_cast<std::uint8_t>(0x80 >> (px % 8));
    if ((line[i / 8] >> (7 - i % 8)) & 1) {
      row[px / 8] |= mask;
    } else {
      row[px / 8] &= static_cast<std::uint8_t>(~mask);
    }
  }
}

}  // namespace

bitmap_image rasterise(const draw_list& list, const ascii_font& font, view_extent size) {
  bitmap_image image;
  image.width = std::max(size.width, 0);
  image.height = std::max(size.height, 0);
  image.bits.assign(static_cast<std::size_t>(image.row_bytes()) * image.height, 0);
  for (const draw_item& item : list) {
    for (int line = 0; line < kLineHeight; ++line) {
      if (item.what == draw_item::kind::glyph) {
        put_line(image, item.x, item.y + line, item.glyph.data() + line * 2, kGlyphSide);
      } else {
        put_line(image, item.x, item.y + line, &font.glyphs[item.character][line], kHalfWidth);
      }
    }
  }
  return image;
}

std::string pbm_header(const bitmap_image& image) {
  return "P4\n" + std::to_string(image.width) + " " + std::to_string(image.height) + "\n";
}
