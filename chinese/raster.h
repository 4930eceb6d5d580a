#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "chinese/ascii_font.h"
#include "chinese/draw_list.h"
#include "chinese/view_walks.h"

// A 1-bit image: rows of (width + 7) / 8 bytes, leftmost pixel in the most
// significant bit, a set bit is ink (dark).
struct bitmap_image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bits;

  int row_bytes() const { return (width + 7) / 8; }
  bool ink(int x, int y) const {
    return (bits[static_cast<std::size_t>(y) * row_bytes() + x / 8] >> (7 - x % 8)) & 1;
  }
};

// Draws the list in order into a light image of the given size; each cell
// covers what lies under it, and what falls outside the image is cut off.
bitmap_image rasterise(const draw_list& list, const ascii_font& font, view_extent size);

// The header of the image as a binary PBM file (P4); the rows of bits follow.
std::string pbm_header(const bitmap_image& image);
