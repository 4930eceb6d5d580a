#include "chinese/raster.h"

#include <gtest/gtest.h>

namespace {

glyph16 full_glyph() {
  glyph16 glyph;
  glyph.fill(0xFF);
  return glyph;
}

// An ASCII font whose 'x' is a full cell and every other character blank.
ascii_font test_font() {
  ascii_font font;
  font.glyphs['x'].fill(0xFF);
  return font;
}

std::string picture(const bitmap_image& image) {
  std::string text;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x)
      text += image.ink(x, y) ? '#' : '.';
    text += '\n';
  }
  return text;
}

TEST(Raster, GlyphBitsAreInkLeftmostFirst) {
  glyph16 glyph{};
  glyph[0] = 0x80;   // line 0, pixel 0
  glyph[3] = 0x01;   // line 1, pixel 15
  glyph[31] = 0x02;  // line 15, pixel 14
  bitmap_image image = rasterise({draw_item::make_glyph(8, 0, glyph)}, test_font(), {32, 16});
  EXPECT_TRUE(image.ink(8, 0));
  EXPECT_TRUE(image.ink(23, 1));
  EXPECT_TRUE(image.ink(22, 15));
  int inked = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x)
      inked += image.ink(x, y);
  EXPECT_EQ(inked, 3);
}

TEST(Raster, LaterCellsCoverEarlierOnes) {
  // A marker glyph 16 wide is half covered by the blank character after it.
  draw_list list{draw_item::make_glyph(0, 0, full_glyph(), true), draw_item::make_ascii(8, 0, ' ')};
  bitmap_image image = rasterise(list, test_font(), {16, 16});
  EXPECT_TRUE(image.ink(7, 5));
  EXPECT_FALSE(image.ink(8, 5));
}

TEST(Raster, CellsOffTheByteGridAndOffTheImage) {
  draw_list list{draw_item::make_ascii(3, 2, 'x'), draw_item::make_glyph(12, -4, full_glyph())};
  bitmap_image image = rasterise(list, test_font(), {20, 4});
  EXPECT_EQ(picture(image),
            "............########\n"
            "............########\n"
            "...########.########\n"
            "...########.########\n");
}

TEST(Raster, PbmHasHeaderAndRows) {
  bitmap_image image = rasterise({draw_item::make_ascii(0, 0, 'x')}, test_font(), {10, 16});
  std::string pbm = pbm_header(image);
  pbm.append(image.bits.begin(), image.bits.end());
  ASSERT_EQ(pbm.substr(0, 9), "P4\n10 16\n");
  ASSERT_EQ(pbm.size(), 9u + 2 * 16);
  EXPECT_EQ(static_cast<unsigned char>(pbm[9]), 0xFF);
  EXPECT_EQ(static_cast<unsigned char>(pbm[10]), 0x00);
}

}  // namespace
