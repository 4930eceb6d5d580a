#include "chinese/view_walks.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "chinese/font_names.h"
#include "chinese/hbf_glyph16.h"
#include "chinese/view_fonts.h"
#include "tests/chinese/font_files.h"

namespace {

// A cell reduced to what the tests look at.
struct cell {
  char what;  // 'a' ascii, 'g' glyph, 'm' marker glyph, '?' marker ascii
  int x;
  int y;
  int value;  // the ASCII byte, or the number of the glyph in the test fonts
  bool operator==(const cell&) const = default;
};

std::ostream& operator<<(std::ostream& out, const cell& c) {
  return out << "{" << c.what << " " << c.x << "," << c.y << " " << c.value << "}";
}

// Test fonts whose every glyph carries its own number: HZK16 glyph n is
// row/column n, HBF glyph n the nth of its file; the CNS fonts add 10000 and
// 20000 so their glyphs can be told apart.
class ViewWalks : public testing::Test {
 protected:
  void SetUp() override {
    std::string hzk16;
    for (int i = 0; i < 94 * 94; ++i)
      hzk16 += numbered(i);
    scratch_.write("HZK16", hzk16);
    write_hbf("kcm14", "HBF_BYTE_2_RANGE 0x40-0x7E\nHBF_BYTE_2_RANGE 0xA1-0xFE\n", 2,
              "0xA140-0xA3FE", 157 * 3, 30000);
    write_hbf("cns1", "HBF_BYTE_2_RANGE 0x21-0x7E\n", 1, "0x2121-0x7E7E", 94 * 94, 10000);
    write_hbf("cns2", "HBF_BYTE_2_RANGE 0x21-0x7E\n", 1, "0x2121-0x7E7E", 94 * 94, 20000);
    fonts_.directory = scratch_.path();
    ASSERT_TRUE(hzk16_open(fonts_.hzk16, fonts_.directory));
    ASSERT_EQ(hbf_load(fonts_.kcm14, scratch_.file("kcm14.hbf")), HBF_LOADED);
    ASSERT_EQ(hbf_load(fonts_.cns1, scratch_.file("cns1.hbf")), HBF_LOADED);
    ASSERT_EQ(hbf_load(fonts_.cns2, scratch_.file("cns2.hbf")), HBF_LOADED);
  }

  static std::string numbered(int n) {
    std::string glyph(32, '\0');
    glyph[0] = static_cast<char>(n >> 8);
    glyph[1] = static_cast<char>(n & 0xFF);
    return glyph;
  }
  void write_hbf(const std::string& name, const std::string& byte2, int byte2_count,
                 const std::string& codes, int glyphs, int base) {
    std::string bitmap;
    for (int i = 0; i < glyphs; ++i)
      bitmap += numbered(base + i);
    scratch_.write(name + ".bin", bitmap);
    scratch_.write(name + ".hbf", "HBF_BITMAP_BOUNDING_BOX 16 16\nHBF_START_BYTE_2_RANGES " +
                                      std::to_string(byte2_count) + "\n" + byte2 +
                                      "HBF_START_CODE_RANGES 1\nHBF_CODE_RANGE " + codes + " " +
                                      name + ".bin 0\n");
  }

  static std::vector<cell> cells(const draw_list& list) {
    std::vector<cell> result;
    for (const draw_item& item : list) {
      if (item.what == draw_item::kind::ascii) {
        result.push_back({item.marker ? '?' : 'a', item.x, item.y, item.character});
      } else {
        result.push_back({item.marker ? 'm' : 'g', item.x, item.y, glyph_number(item.glyph)});
      }
    }
    return result;
  }
  std::vector<cell> gb(std::string_view text) { return cells(gb_view_walk(text, fonts_.hzk16)); }
  std::vector<cell> big5(std::string_view text) {
    return cells(big5_view_walk(text, fonts_.kcm14));
  }
  std::vector<cell> cns(std::string_view text) {
    return cells(cns_view_walk(text, fonts_.hzk16, fonts_.cns1, fonts_.cns2));
  }

  static constexpr int kReplacement = 84;  // row 1 column 85
  static constexpr int kGbMarker = 11;     // row 1 column 12
  static int gb_glyph(int row, int column) { return (row - 1) * 94 + column - 1; }

  font_scratch scratch_;
  chinese_fonts fonts_;
};

TEST_F(ViewWalks, GbCarriageReturnStartsALineAndLineFeedIsIgnored) {
  EXPECT_EQ(gb("ab\r\ncd"),
            (std::vector<cell>{
                {'a', 0, 0, 'a'}, {'a', 8, 0, 'b'}, {'a', 0, 16, 'c'}, {'a', 8, 16, 'd'}}));
  EXPECT_EQ(gb("ab\ncd"),
            (std::vector<cell>{
                {'a', 0, 0, 'a'}, {'a', 8, 0, 'b'}, {'a', 16, 0, 'c'}, {'a', 24, 0, 'd'}}));
}

TEST_F(ViewWalks, CnsLineFeedStartsALineAndCarriageReturnIsIgnored) {
  EXPECT_EQ(cns("ab\r\ncd"),
            (std::vector<cell>{
                {'a', 0, 0, 'a'}, {'a', 8, 0, 'b'}, {'a', 0, 16, 'c'}, {'a', 8, 16, 'd'}}));
  EXPECT_EQ(cns("ab\rcd"),
            (std::vector<cell>{
                {'a', 0, 0, 'a'}, {'a', 8, 0, 'b'}, {'a', 16, 0, 'c'}, {'a', 24, 0, 'd'}}));
}

TEST_F(ViewWalks, GbPairsBlanksTabsAndMarkers) {
  EXPECT_EQ(gb("\xB0\xA1 x\ty\x01z\x7F"), (std::vector<cell>{{'g', 0, 0, gb_glyph(16, 1)},
                                                             {'a', 24, 0, 'x'},
                                                             {'a', 96, 0, 'y'},
                                                             {'m', 104, 0, kGbMarker},
                                                             {'a', 112, 0, 'z'},
                                                             {'a', 120, 0, 0x7F}}));
}

TEST_F(ViewWalks, GbPairsOutsideGb2312DrawTheReplacement) {
  EXPECT_EQ(gb("\xB0\xFF\xF8\xA1\xA1\x41\xF7\xFE"),
            (std::vector<cell>{{'g', 0, 0, kReplacement},
                               {'g', 16, 0, kReplacement},
                               {'g', 32, 0, kReplacement},
                               {'g', 48, 0, gb_glyph(87, 94)}}));
  EXPECT_EQ(gb("a\xB0"), (std::vector<cell>{{'a', 0, 0, 'a'}, {'g', 8, 0, kReplacement}}));
}

TEST_F(ViewWalks, Big5CodesAndFallback) {
  // 0xA140 is glyph 0, 0xA1A1 glyph 63, 0xA240 glyph 157 of the Big5 font;
  // the fallback 0xA1BC is glyph 63 + 27 and the marker 0xA26B is 157 + 43.
  const int base = 30000, fallback = base + 90, marker = base + 157 + 43;
  EXPECT_EQ(
      big5("\xA1\x40\xA1\xA1\xA2\x40"),
      (std::vector<cell>{{'g', 0, 0, base}, {'g', 16, 0, base + 63}, {'g', 32, 0, base + 157}}));
  EXPECT_EQ(big5("\xFA\x40\xA1\x80\x02"
                 "a\r\n\xA1\x40"),
            (std::vector<cell>{{'g', 0, 0, fallback},
                               {'g', 16, 0, fallback},
                               {'m', 32, 0, marker},
                               {'a', 40, 0, 'a'},
                               {'g', 0, 16, base}}));
}

TEST_F(ViewWalks, CnsDrawsEachSetFromItsFont) {
  const int cns1 = 10000, cns2 = 20000;
  EXPECT_EQ(cns("\x1B$)A\x0E\x30\x21\x0F"
                "a\x1B$)G\x0E\x21\x22\x0F\x1B$*H\x1BN\x21\x23"
                "b"),
            (std::vector<cell>{{'g', 0, 0, gb_glyph(16, 1)},
                               {'a', 16, 0, 'a'},
                               {'g', 24, 0, cns1 + 1},
                               {'g', 40, 0, cns2 + 2},
                               {'a', 56, 0, 'b'}}));
}

// A designation to G1 does not shift: ASCII may follow it before SO.
TEST_F(ViewWalks, CnsDesignationBeforeAscii) {
  EXPECT_EQ(cns("\x1B$)Aab\x0E\x30\x21\x0F"),
            (std::vector<cell>{{'a', 0, 0, 'a'}, {'a', 8, 0, 'b'}, {'g', 16, 0, gb_glyph(16, 1)}}));
}

TEST_F(ViewWalks, CnsReadsTheOlderForm) {
  EXPECT_EQ(cns("\x1B$(G\x21\x21\x0F"
                "a"),
            (std::vector<cell>{{'g', 0, 0, 10000}, {'a', 16, 0, 'a'}}));
}

TEST_F(ViewWalks, CnsWhatCannotBeDrawn) {
  EXPECT_EQ(cns("\xB0"
                "\x0E\x21\x21\x0F"
                "\x1B(J"
                "x\x1B$)E\x0E\x21\x21"),
            (std::vector<cell>{{'g', 0, 0, kReplacement},   // eight-bit byte
                               {'g', 16, 0, kReplacement},  // nothing in G1: per byte
                               {'g', 32, 0, kReplacement},
                               {'?', 48, 0, '?'},  // an escape it does not know
                               {'a', 56, 0, 'x'},
                               {'g', 64, 0, kReplacement}}));  // a set without a font
}

TEST_F(ViewWalks, CnsControlsTabsAndBlanks) {
  EXPECT_EQ(cns("a\x01 b\tc"),
            (std::vector<cell>{{'a', 0, 0, 'a'}, {'a', 16, 0, 'b'}, {'a', 88, 0, 'c'}}));
}

TEST_F(ViewWalks, CnsShortReadFallsBackToTheReplacement) {
  hbf_font empty;
  scratch_.write("empty.bin", "");
  scratch_.write("empty.hbf",
                 "HBF_BITMAP_BOUNDING_BOX 16 16\nHBF_START_BYTE_2_RANGES 1\n"
                 "HBF_BYTE_2_RANGE 0x21-0x7E\nHBF_START_CODE_RANGES 1\n"
                 "HBF_CODE_RANGE 0x2121-0x7E7E empty.bin 0\n");
  ASSERT_EQ(hbf_load(empty, scratch_.file("empty.hbf")), HBF_LOADED);
  EXPECT_EQ(cells(cns_view_walk("\x1B$)G\x0E\x21\x21", fonts_.hzk16, empty, empty)),
            (std::vector<cell>{{'g', 0, 0, kReplacement}}));
}

TEST_F(ViewWalks, HugeViewWritesLinesAtLineFeeds) {
  EXPECT_EQ(cells(huge_view_walk("ab\ncd\r\n\ne")), (std::vector<cell>{{'a', 0, 0, 'a'},
                                                                       {'a', 8, 0, 'b'},
                                                                       {'a', 0, 16, 'c'},
                                                                       {'a', 8, 16, 'd'},
                                                                       {'a', 16, 16, '\r'},
                                                                       {'a', 0, 48, 'e'}}));
}

TEST_F(ViewWalks, ScrollExtentsAreFixedButReachEveryLine) {
  draw_list small = gb_view_walk("ab\r\n", fonts_.hzk16);
  EXPECT_EQ(view_scroll_extent(chinese_view::gb, 4, small).width, 1280);
  EXPECT_EQ(view_scroll_extent(chinese_view::gb, 4, small).height, 2000);
  EXPECT_EQ(view_scroll_extent(chinese_view::big5, 4, small).height, 1000);
  EXPECT_EQ(view_scroll_extent(chinese_view::cns, 6000, {}).height, 2560);
  EXPECT_EQ(view_scroll_extent(chinese_view::huge, 4, {}).width, 808);
  std::string long_letter;
  for (int i = 0; i < 200; ++i)
    long_letter += "line\r\n";
  view_extent extent = view_scroll_extent(chinese_view::gb, long_letter.size(),
                                          gb_view_walk(long_letter, fonts_.hzk16));
  EXPECT_EQ(extent.height, 200 * 16);
  EXPECT_EQ(drawn_extent(gb_view_walk("\xB0\xA1x", fonts_.hzk16)).width, 24);
}

TEST_F(ViewWalks, FontsAreLoadedPerViewEachOnItsOwn) {
  using testing::ElementsAre;
  chinese_fonts fonts;
  fonts.directory = KESTREL_TEST_FONTS;
  EXPECT_THAT(chinese_fonts_load(fonts, chinese_view::huge), ElementsAre());
  EXPECT_FALSE(fonts.kcm14.loaded());
  EXPECT_THAT(chinese_fonts_load(fonts, chinese_view::big5), ElementsAre());
  EXPECT_TRUE(fonts.kcm14.loaded());
  EXPECT_FALSE(fonts.cns1.loaded());
  EXPECT_THAT(chinese_fonts_load(fonts, chinese_view::cns), ElementsAre());
  EXPECT_TRUE(fonts.cns2.loaded());
  EXPECT_TRUE(fonts.hzk16.is_open());

  chinese_fonts missing;
  missing.directory = scratch_.path();  // has HZK16 and the HBF fonts but no ASC16
  EXPECT_THAT(chinese_fonts_load(missing, chinese_view::gb), ElementsAre(kAsciiFontMessage));
  EXPECT_TRUE(missing.hzk16.is_open()) << "HZK16 loads without ASC16";
  std::filesystem::copy_file(font_path(KESTREL_TEST_FONTS, kAsc16Name), scratch_.file("ASC16"));
  std::filesystem::remove(scratch_.file("kcm14.bin"));
  EXPECT_THAT(chinese_fonts_load(missing, chinese_view::big5),
              ElementsAre("不能打开字体文件", "不能打开 HBF 文件"));
  EXPECT_FALSE(missing.kcm14.loaded());
  std::filesystem::remove(scratch_.file("cns2.hbf"));
  EXPECT_THAT(chinese_fonts_load(missing, chinese_view::cns),
              ElementsAre("不能打开 HBF 文件。", "Fail to open HBF file"));
  EXPECT_TRUE(missing.cns1.loaded());
}

}  // namespace
