#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>

#include "app/cns_view.h"
#include "app/gb_view.h"
#include "app/han_view.h"
#include "app/huge_view.h"
#include "chinese/font_names.h"
#include "chinese/hbf_glyph16.h"
#include "tests/support/scratch_folder.h"
#include "ui/ui_script.h"

namespace {

using strings = std::vector<std::string>;

// The views draw with the fonts the build generated; the expected pixels come
// from the same files, read here on their own.
class ChineseViews : public testing::Test {
 protected:
  void SetUp() override {
    fonts_.directory = KESTREL_TEST_FONTS;
    ASSERT_TRUE(hzk16_open(hzk16_, KESTREL_TEST_FONTS));
    ASSERT_TRUE(ascii_font_load(ascii_, KESTREL_TEST_FONTS));
  }
  void TearDown() override {
    hbf_unload(fonts_.kcm14);
    hbf_unload(fonts_.cns1);
    hbf_unload(fonts_.cns2);
    EXPECT_TRUE(script_.finished()) << script_.problems();
  }

  // The view's picture: shown at its top left, 400 by 120 pixels.
  static QImage picture(CChineseTextView& view) {
    view.resize(420, 140);
    view.on_initial_update();
    return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }

  // Compares the 16 lines of a cell with the bytes of a glyph: set bits
  // dark, clear bits light. Returns the first differing pixel, or "".
  static std::string compare(const QImage& image, int x, int y, const std::uint8_t* lines,
                             int width) {
    int bytes = width / 8;
    for (int row = 0; row < 16; ++row) {
      for (int column = 0; column < width; ++column) {
        bool ink = (lines[row * bytes + column / 8] >> (7 - column % 8)) & 1;
        QRgb pixel = image.pixel(x + column, y + row);
        QRgb expected = ink ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
        if (pixel != expected)
          return "pixel " + std::to_string(x + column) + "," + std::to_string(y + row);
      }
    }
    return "";
  }
  std::string gb_cell(const QImage& image, int x, int y, int row, int column) {
    std::optional<glyph16> glyph = hzk16_glyph(hzk16_, row, column);
    if (!glyph) return "no glyph";
    return compare(image, x, y, glyph->data(), 16);
  }
  std::string hbf_cell(const QImage& image, int x, int y, const char* font, long code) {
    hbf_font hbf;
    hbf.directory = KESTREL_TEST_FONTS;
    if (hbf_load(hbf, font_path(KESTREL_TEST_FONTS, font)) != HBF_LOADED) return "no font";
    glyph16 glyph = hbf_glyph_or_fallback(hbf, code);
    hbf_unload(hbf);
    return compare(image, x, y, glyph.data(), 16);
  }
  std::string ascii_cell(const QImage& image, int x, int y, char c) {
    return compare(image, x, y, ascii_.glyphs[static_cast<unsigned char>(c)].data(), 8);
  }

  ui_script script_;
  chinese_fonts fonts_;
  hzk16_file hzk16_;
  ascii_font ascii_;
};

TEST_F(ChineseViews, GbTextIsDrawnWithHzk16CellByCell) {
  // 啊 (row 16 column 1), "a", a pair that is not GB, carriage return and line
  // feed, then 中 (row 54 column 48) on the second line.
  CGBView view(fonts_,
               "\xB0\xA1"
               "a\xA1\xFF\r\n\xD6\xD0");
  QImage image = picture(view);
  EXPECT_EQ(gb_cell(image, 0, 0, 16, 1), "");
  EXPECT_EQ(ascii_cell(image, 16, 0, 'a'), "");
  EXPECT_EQ(gb_cell(image, 24, 0, 1, 85), "") << "the replacement glyph";
  EXPECT_EQ(gb_cell(image, 0, 16, 54, 48), "");
  EXPECT_EQ(view.total_size(), QSize(1280, 2000));
  EXPECT_TRUE(script_.shown().empty());
}

TEST_F(ChineseViews, Big5TextIsDrawnWithTheBig5Font) {
  // 中 (A4 A4), "b", a tab, then 文 (A4 E5).
  CHanView view(fonts_,
                "\xA4\xA4"
                "b\t\xA4\xE5");
  QImage image = picture(view);
  EXPECT_EQ(hbf_cell(image, 0, 0, "kcm14.hbf", 0xA4A4), "");
  EXPECT_EQ(ascii_cell(image, 16, 0, 'b'), "");
  EXPECT_EQ(hbf_cell(image, 24 + 64, 0, "kcm14.hbf", 0xA4E5), "");
  EXPECT_EQ(view.total_size(), QSize(1000, 1000));
}

TEST_F(ChineseViews, AnIso2022CnTextSwitchesFontsByItsDesignations) {
  // GB 啊 through G1 "A", ASCII after SI, a line feed, then CNS plane 1 一
  // (0x4421) through G1 "G".
  std::string text = "\x1B$)A\x0E\x30\x21\x0Fx\n\x1B$)G\x0E\x44\x21\x0F";
  CcnsView view(fonts_, text);
  QImage image = picture(view);
  EXPECT_EQ(gb_cell(image, 0, 0, 16, 1), "");
  EXPECT_EQ(ascii_cell(image, 16, 0, 'x'), "");
  EXPECT_EQ(hbf_cell(image, 0, 16, "cns1.hbf", 0x4421), "");
  EXPECT_EQ(view.total_size(), QSize(800, 32)) << "grown to the lines drawn";
  std::string longer = text + std::string(6000, ' ');
  CcnsView long_view(fonts_, longer);
  long_view.on_initial_update();
  EXPECT_EQ(long_view.total_size(), QSize(800, static_cast<int>(longer.size() * 256 / 600)));
}

TEST_F(ChineseViews, APlainTextIsDrawnLineByLine) {
  CHugeView view(fonts_, "ab\ncd");
  QImage image = picture(view);
  EXPECT_EQ(ascii_cell(image, 0, 0, 'a'), "");
  EXPECT_EQ(ascii_cell(image, 8, 0, 'b'), "");
  EXPECT_EQ(ascii_cell(image, 0, 16, 'c'), "");
  EXPECT_EQ(ascii_cell(image, 8, 16, 'd'), "");
  EXPECT_EQ(view.total_size(), QSize(808, 100000));
}

TEST_F(ChineseViews, CellsScrolledToAreDrawnWhereTheyAppear) {
  std::string text;
  for (int line = 0; line < 60; ++line)
    text += "\xB0\xA1\r\n";
  text += "\xD6\xD0";
  CGBView view(fonts_, text);
  view.resize(420, 140);
  view.on_initial_update();
  view.scroll_to({0, 60 * 16 - 32});
  QImage image = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(gb_cell(image, 0, 32, 54, 48), "");
  EXPECT_EQ(gb_cell(image, 0, 16, 16, 1), "");
}

TEST_F(ChineseViews, AMissingFontIsReportedWithTheViewsMessage) {
  // A font folder with HZK16 and the ASCII font but no HBF fonts.
  scratch_folder folder;
  for (const char* name : {"HZK16", "ASC16"})
    std::filesystem::copy_file(font_path(KESTREL_TEST_FONTS, name), folder.file(name));
  chinese_fonts fonts;
  fonts.directory = folder.path();
  {
    CGBView gb(fonts, "y");
    CHanView big5(fonts, "\xA4\xA4");
    CcnsView cns(fonts, "x");
  }
  // Each font's own message, then the view's.
  EXPECT_EQ(script_.messages(),
            (strings{"不能打开 HBF 文件。", "不能打开 HBF 文件", "不能打开 HBF 文件。",
                     "不能打开 HBF 文件。", "Fail to open HBF file"}));
  EXPECT_FALSE(fonts.kcm14.loaded()) << "a font that failed is unloaded again";
  EXPECT_TRUE(fonts.hzk16.is_open());
}

}  // namespace
