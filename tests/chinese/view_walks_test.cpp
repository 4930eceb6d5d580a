#include "chinese/view_walks.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "chinese/font_names.h"
#include "chinese/hbf_glyph16.h"
#include "chinese/view_fonts.h"
#include "tests/chinese/charset_text.h"
#include "tests/chinese/font_files.h"
#include "tests/support/table.h"

namespace {

// The cells as "x,y" and what is drawn: "=c" an ASCII byte (\xNN when it is
// not printable), "?c" an ASCII marker, "#n" glyph n of the test fonts, "mn" a
// marker glyph.
std::string cells(const draw_list& list) {
  std::string text;
  for (const draw_item& item : list) {
    text += (text.empty() ? "" : " ") + std::to_string(item.x) + "," + std::to_string(item.y);
    if (item.what == draw_item::kind::glyph) {
      text += (item.marker ? "m" : "#") + std::to_string(glyph_number(item.glyph));
    } else if (item.character < 0x20 || item.character >= 0x7F) {
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02x", item.character);
      text += (item.marker ? "?" : "=") + std::string(code);
    } else {
      text += (item.marker ? "?" : "=") + std::string(1, static_cast<char>(item.character));
    }
  }
  return text;
}

// Test fonts whose every glyph carries its own number: HZK16 glyph n is
// row/column n (row 16 column 1 is 1410, the replacement at row 1 column 85
// is 84, the marker at row 1 column 12 is 11); the Big5 font's glyphs are
// 30000 and on, CNS plane 1's 10000 and on, plane 2's 20000 and on.
class ViewWalks : public testing::Test {
 protected:
  void SetUp() override {
    scratch_.write("HZK16", numbered_glyphs(94 * 94));
    write_hbf("kcm14", "0x40-0x7E|0xA1-0xFE", "0xA140-0xA3FE", 157 * 3, 30000);
    write_hbf("cns1", "0x21-0x7E", "0x2121-0x7E7E", 94 * 94, 10000);
    write_hbf("cns2", "0x21-0x7E", "0x2121-0x7E7E", 94 * 94, 20000);
    fonts_.directory = scratch_.path();
    ASSERT_TRUE(hzk16_open(fonts_.hzk16, fonts_.directory));
    ASSERT_EQ(hbf_load(fonts_.kcm14, scratch_.file("kcm14.hbf")), HBF_LOADED);
    ASSERT_EQ(hbf_load(fonts_.cns1, scratch_.file("cns1.hbf")), HBF_LOADED);
    ASSERT_EQ(hbf_load(fonts_.cns2, scratch_.file("cns2.hbf")), HBF_LOADED);
  }
  void write_hbf(const std::string& name, const std::string& byte2, const std::string& codes,
                 int glyphs, int first) {
    scratch_.write(name + ".bin", numbered_glyphs(glyphs, first));
    scratch_.write(name + ".hbf", hbf_description(byte2, codes + " " + name + ".bin 0"));
  }
  draw_list walk(chinese_view view, std::string_view text) {
    switch (view) {
      case chinese_view::gb:
        return gb_view_walk(text, fonts_.hzk16);
      case chinese_view::big5:
        return big5_view_walk(text, fonts_.kcm14);
      case chinese_view::cns:
        return cns_view_walk(text, fonts_.hzk16, fonts_.cns1, fonts_.cns2);
      case chinese_view::huge:
        break;
    }
    return huge_view_walk(text);
  }

  font_scratch scratch_;
  chinese_fonts fonts_;
};

struct walk_row {
  std::string name;
  chinese_view view;
  std::string text;
  std::string cells;
};

class Walk : public ViewWalks, public testing::WithParamInterface<walk_row> {};

TEST_P(Walk, LaysOutTheCells) {
  EXPECT_EQ(cells(walk(GetParam().view, GetParam().text)), GetParam().cells);
}

using enum chinese_view;

const walk_row kWalkRows[] = {
    {"gb_carriage_return_starts_a_line", gb, "ab\r\ncd", "0,0=a 8,0=b 0,16=c 8,16=d"},
    {"gb_line_feed_is_ignored", gb, "ab\ncd", "0,0=a 8,0=b 16,0=c 24,0=d"},
    {"gb_pairs_blanks_tabs_and_markers", gb, "\xB0\xA1 x\ty\x01z\x7F",
     "0,0#1410 24,0=x 96,0=y 104,0m11 112,0=z 120,0=\\x7f"},
    // The last pair is row 87 column 94.
    {"gb_pairs_outside_gb2312_draw_the_replacement", gb, "\xB0\xFF\xF8\xA1\xA1\x41\xF7\xFE",
     "0,0#84 16,0#84 32,0#84 48,0#8177"},
    {"gb_lone_lead_byte", gb, "a\xB0", "0,0=a 8,0#84"},
    // 0xA140 is glyph 0, 0xA1A1 glyph 63, 0xA240 glyph 157 of the font; the
    // fallback 0xA1BC is glyph 63 + 27 and the marker 0xA26B 157 + 43.
    {"big5_codes", big5, "\xA1\x40\xA1\xA1\xA2\x40", "0,0#30000 16,0#30063 32,0#30157"},
    {"big5_fallback_and_marker", big5,
     "\xFA\x40\xA1\x80\x02"
     "a\r\n\xA1\x40",
     "0,0#30090 16,0#30090 32,0m30200 40,0=a 0,16#30000"},
    {"cns_line_feed_starts_a_line", cns, "ab\r\ncd", "0,0=a 8,0=b 0,16=c 8,16=d"},
    {"cns_carriage_return_is_ignored", cns, "ab\rcd", "0,0=a 8,0=b 16,0=c 24,0=d"},
    {"cns_draws_each_set_from_its_font", cns,
     "\x1B$)A\x0E\x30\x21\x0F"
     "a\x1B$)G\x0E\x21\x22\x0F\x1B$*H\x1BN\x21\x23"
     "b",
     "0,0#1410 16,0=a 24,0#10001 40,0#20002 56,0=b"},
    // A designation to G1 does not shift: ASCII may follow it before SO.
    {"cns_designation_before_ascii", cns, "\x1B$)Aab\x0E\x30\x21\x0F", "0,0=a 8,0=b 16,0#1410"},
    {"cns_older_form", cns,
     "\x1B$(G\x21\x21\x0F"
     "a",
     "0,0#10000 16,0=a"},
    // An eight-bit byte, a pair with nothing in G1 (one per byte), an
    // unknown escape, a set without a font.
    {"cns_what_cannot_be_drawn", cns, "\xB0\x0E\x21\x21\x0F\x1B(Jx\x1B$)E\x0E\x21\x21",
     "0,0#84 16,0#84 32,0#84 48,0?? 56,0=x 64,0#84"},
    {"cns_controls_tabs_and_blanks", cns, "a\x01 b\tc", "0,0=a 16,0=b 88,0=c"},
    {"huge_lines_at_line_feeds", huge, "ab\ncd\r\n\ne",
     "0,0=a 8,0=b 0,16=c 8,16=d 16,16=\\x0d 0,48=e"},
};
INSTANTIATE_TEST_SUITE_P(Rows, Walk, testing::ValuesIn(kWalkRows), row_name());

TEST_F(ViewWalks, CnsShortReadFallsBackToTheReplacement) {
  hbf_font empty;
  write_hbf("empty", "0x21-0x7E", "0x2121-0x7E7E", 0, 0);
  ASSERT_EQ(hbf_load(empty, scratch_.file("empty.hbf")), HBF_LOADED);
  EXPECT_EQ(cells(cns_view_walk("\x1B$)G\x0E\x21\x21", fonts_.hzk16, empty, empty)), "0,0#84");
}

TEST_F(ViewWalks, ScrollExtentsAreFixedButReachEveryLine) {
  draw_list small = gb_view_walk("ab\r\n", fonts_.hzk16);
  EXPECT_EQ(view_scroll_extent(gb, 4, small).width, 1280);
  EXPECT_EQ(view_scroll_extent(gb, 4, small).height, 2000);
  EXPECT_EQ(view_scroll_extent(big5, 4, small).height, 1000);
  EXPECT_EQ(view_scroll_extent(cns, 6000, {}).height, 2560);
  EXPECT_EQ(view_scroll_extent(huge, 4, {}).width, 808);
  std::string long_letter;
  for (int i = 0; i < 200; ++i)
    long_letter += "line\r\n";
  EXPECT_EQ(view_scroll_extent(gb, long_letter.size(), walk(gb, long_letter)).height, 200 * 16);
  EXPECT_EQ(drawn_extent(walk(gb, "\xB0\xA1x")).width, 24);
}

TEST_F(ViewWalks, FontsAreLoadedPerViewEachOnItsOwn) {
  using testing::ElementsAre;
  chinese_fonts fonts;
  fonts.directory = KESTREL_TEST_FONTS;
  EXPECT_THAT(chinese_fonts_load(fonts, huge), ElementsAre());
  EXPECT_FALSE(fonts.kcm14.loaded());
  EXPECT_THAT(chinese_fonts_load(fonts, big5), ElementsAre());
  EXPECT_TRUE(fonts.kcm14.loaded());
  EXPECT_FALSE(fonts.cns1.loaded());
  EXPECT_THAT(chinese_fonts_load(fonts, cns), ElementsAre());
  EXPECT_TRUE(fonts.cns2.loaded());
  EXPECT_TRUE(fonts.hzk16.is_open());

  chinese_fonts missing;
  missing.directory = scratch_.path();  // has HZK16 and the HBF fonts but no ASC16
  EXPECT_THAT(chinese_fonts_load(missing, gb), ElementsAre(kAsciiFontMessage));
  EXPECT_TRUE(missing.hzk16.is_open()) << "HZK16 loads without ASC16";
  std::filesystem::copy_file(font_path(KESTREL_TEST_FONTS, kAsc16Name), scratch_.file("ASC16"));
  std::filesystem::remove(scratch_.file("kcm14.bin"));
  EXPECT_THAT(chinese_fonts_load(missing, big5),
              ElementsAre("不能打开字体文件", "不能打开 HBF 文件"));
  EXPECT_FALSE(missing.kcm14.loaded());
  std::filesystem::remove(scratch_.file("cns2.hbf"));
  EXPECT_THAT(chinese_fonts_load(missing, cns),
              ElementsAre("不能打开 HBF 文件。", "Fail to open HBF file"));
  EXPECT_TRUE(missing.cns1.loaded());
}

// Arbitrary bytes: nothing may crash or read out of bounds (the sanitizer
// run watches), and every cell lies on the grid.
TEST(RandomInput, WalksLayOutOnTheGrid) {
  hzk16_file hzk16;  // not open: every glyph blank
  hbf_font none;
  std::mt19937 random(16);
  for (int round = 0; round < 3000; ++round) {
    std::string input = random_bytes(random, 48);
    for (const draw_list& list : {gb_view_walk(input, hzk16), big5_view_walk(input, none),
                                  cns_view_walk(input, hzk16, none, none), huge_view_walk(input)})
      for (const draw_item& item : list) {
        ASSERT_TRUE(item.x >= 0 && item.x % 8 == 0 && item.y >= 0 && item.y % 16 == 0)
            << testing::PrintToString(input);
      }
  }
}

}  // namespace
