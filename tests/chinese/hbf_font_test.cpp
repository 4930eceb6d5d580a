#include "chinese/hbf_font.h"

#include <gtest/gtest.h>

#include "chinese/font_names.h"
#include "tests/chinese/big5_text.h"
#include "tests/chinese/font_files.h"

namespace {

std::string description(const std::string& byte2, const std::string& codes, int code_count = 1,
                        int byte2_count = 1) {
  return "HBF_START_FONT 1.1\n"
         "COMMENT HBF_BITMAP_BOUNDING_BOX 8 8 is not at the start of this line\n"
         "HBF_BITMAP_BOUNDING_BOX 16 16 0 -2\n"
         "HBF_START_BYTE_2_RANGES " +
         std::to_string(byte2_count) + "\n" + byte2 +
         "HBF_END_BYTE_2_RANGES\n"
         "HBF_START_CODE_RANGES " +
         std::to_string(code_count) + "\n" + codes + "HBF_END_CODE_RANGES\nHBF_END_FONT\n";
}

class HbfFont : public testing::Test {
 protected:
  int load(const std::string& text) {
    scratch_.write("test.hbf", text);
    return hbf_load(font_, scratch_.file("test.hbf"));
  }
  int glyph(long code) {
    int read = hbf_glyph(font_, code);
    return read == 32 ? glyph_number(font_.glyph) : read;
  }
  void TearDown() override { hbf_unload(font_); }

  font_scratch scratch_;
  hbf_font font_;
};

TEST_F(HbfFont, OneByte2RangeCountsRowsOfItsWidth) {
  scratch_.write_numbered_glyphs("gb.bin", 94 * 3);
  ASSERT_EQ(
      load(description("HBF_BYTE_2_RANGE 0xA1-0xFE\n", "HBF_CODE_RANGE 0xA1A1-0xA3FE gb.bin 0\n")),
      HBF_LOADED);
  EXPECT_EQ(font_.width, 16);
  EXPECT_EQ(font_.height, 16);
  EXPECT_EQ(font_.glyph_bytes, 32);
  EXPECT_EQ(font_.glyph.size(), 33u);
  EXPECT_EQ(glyph(0xA1A1), 0);
  EXPECT_EQ(glyph(0xA1FE), 93);
  EXPECT_EQ(glyph(0xA2A1), 94);
  EXPECT_EQ(glyph(0xA3FE), 3 * 94 - 1);
}

TEST_F(HbfFont, TwoByte2RangesSkipTheGapBetweenThem) {
  scratch_.write_numbered_glyphs("big5.bin", 157 * 2);
  ASSERT_EQ(load(description("HBF_BYTE_2_RANGE 0x40-0x7E\nHBF_BYTE_2_RANGE 0xA1-0xFE\n",
                             "HBF_CODE_RANGE 0xA140-0xA2FE big5.bin 0\n", 1, 2)),
            HBF_LOADED);
  EXPECT_EQ(glyph(0xA140), 0);
  EXPECT_EQ(glyph(0xA17E), 62);
  EXPECT_EQ(glyph(0xA1A1), 63);
  EXPECT_EQ(glyph(0xA1FE), 156);
  EXPECT_EQ(glyph(0xA240), 157);
  EXPECT_EQ(glyph(0xA2A1), 157 + 63);
}

TEST_F(HbfFont, NumbersInCNotationAndOffsets) {
  scratch_.write_numbered_glyphs("gb.bin", 94 * 2);
  // 0241 is octal 0xA1, 254 decimal 0xFE; the range starts 94 glyphs in.
  ASSERT_EQ(
      load(description("HBF_BYTE_2_RANGE 0241-254\n", "HBF_CODE_RANGE 41377-0xA1FE gb.bin 3008\n")),
      HBF_LOADED);
  EXPECT_EQ(glyph(0xA1A1), 94);
  EXPECT_EQ(glyph(0xA1FE), 94 + 93);
}

TEST_F(HbfFont, CodeOutsideEveryRangeClearsTheGlyph) {
  scratch_.write_numbered_glyphs("gb.bin", 94);
  ASSERT_EQ(
      load(description("HBF_BYTE_2_RANGE 0xA1-0xFE\n", "HBF_CODE_RANGE 0xA1A1-0xA1FE gb.bin 0\n")),
      HBF_LOADED);
  EXPECT_EQ(glyph(0xA1A5), 4);
  EXPECT_EQ(hbf_glyph(font_, 0xA2A1), HBF_NO_CODE_RANGE);
  EXPECT_EQ(font_.glyph, std::vector<std::uint8_t>(33, 0));
  EXPECT_EQ(hbf_glyph(font_, 0xA1A0), HBF_NO_CODE_RANGE);
}

// Within a code range, a second byte between the byte-2 ranges would
// otherwise be given a neighbour's glyph.
TEST_F(HbfFont, SecondByteBetweenRangesHasNoGlyph) {
  scratch_.write_numbered_glyphs("big5.bin", 157);
  ASSERT_EQ(load(description("HBF_BYTE_2_RANGE 0x40-0x7E\nHBF_BYTE_2_RANGE 0xA1-0xFE\n",
                             "HBF_CODE_RANGE 0xA140-0xA1FE big5.bin 0\n", 1, 2)),
            HBF_LOADED);
  EXPECT_EQ(hbf_glyph(font_, 0xA180), HBF_NO_CODE_RANGE);
  EXPECT_EQ(hbf_glyph(font_, 0xA1A0), HBF_NO_CODE_RANGE);
}

TEST_F(HbfFont, ShortBitmapFileGivesFewerBytes) {
  scratch_.write("short.bin", std::string(32 * 2 + 10, '\x7F'));
  ASSERT_EQ(load(description("HBF_BYTE_2_RANGE 0xA1-0xFE\n",
                             "HBF_CODE_RANGE 0xA1A1-0xA1FE short.bin 0\n")),
            HBF_LOADED);
  EXPECT_EQ(hbf_glyph(font_, 0xA1A2), 32);
  EXPECT_EQ(hbf_glyph(font_, 0xA1A3), 10);
  EXPECT_EQ(hbf_glyph(font_, 0xA1A4), 0);
}

TEST_F(HbfFont, RangesNamingOneFileOpenItOnceAndUnloadClosesIt) {
  scratch_.write_numbered_glyphs("shared.bin", 94 * 2);
  int before = open_descriptors();
  ASSERT_EQ(load(description("HBF_BYTE_2_RANGE 0xA1-0xFE\n",
                             "HBF_CODE_RANGE 0xA1A1-0xA1FE shared.bin 0\n"
                             "HBF_CODE_RANGE 0xB0A1-0xB0FE shared.bin 3008\n",
                             2)),
            HBF_LOADED);
  // The description file and one bitmap file.
  EXPECT_EQ(open_descriptors(), before + 2);
  EXPECT_EQ(font_.code_ranges[0].file, font_.code_ranges[1].file);
  EXPECT_EQ(glyph(0xB0A2), 95);
  hbf_unload(font_);
  EXPECT_EQ(open_descriptors(), before);
  EXPECT_FALSE(font_.loaded());
}

TEST_F(HbfFont, BitmapFilesComeFromTheFontDirectory) {
  font_scratch other;
  other.write_numbered_glyphs("gb.bin", 94);
  font_.directory = other.path() + "/";
  ASSERT_EQ(
      load(description("HBF_BYTE_2_RANGE 0xA1-0xFE\n", "HBF_CODE_RANGE 0xA1A1-0xA1FE gb.bin 0\n")),
      HBF_LOADED);
  EXPECT_EQ(glyph(0xA1A3), 2);
}

TEST_F(HbfFont, MissingDescription) {
  EXPECT_EQ(hbf_load(font_, scratch_.file("none.hbf")), HBF_NO_DESCRIPTION);
  EXPECT_EQ(hbf_load_message(HBF_NO_DESCRIPTION), "不能打开 HBF 文件。");
  EXPECT_FALSE(font_.loaded());
}

TEST_F(HbfFont, MissingBitmapFileLeavesNothingOpen) {
  scratch_.write_numbered_glyphs("gb.bin", 94);
  int before = open_descriptors();
  EXPECT_EQ(load(description("HBF_BYTE_2_RANGE 0xA1-0xFE\n",
                             "HBF_CODE_RANGE 0xA1A1-0xA1FE gb.bin 0\n"
                             "HBF_CODE_RANGE 0xA2A1-0xA2FE gone.bin 0\n",
                             2)),
            HBF_NO_BITMAP_FILE);
  EXPECT_EQ(hbf_load_message(HBF_NO_BITMAP_FILE), "不能打开字体文件");
  EXPECT_FALSE(font_.loaded());
  EXPECT_EQ(open_descriptors(), before);
}

TEST_F(HbfFont, ThreeByte2Ranges) {
  scratch_.write_numbered_glyphs("gb.bin", 94);
  ASSERT_EQ(load(description("HBF_BYTE_2_RANGE 0x21-0x30\nHBF_BYTE_2_RANGE 0x40-0x50\n"
                             "HBF_BYTE_2_RANGE 0x60-0x70\n",
                             "HBF_CODE_RANGE 0x2121-0x2170 gb.bin 0\n", 1, 3)),
            HBF_LOADED);
  EXPECT_EQ(hbf_glyph(font_, 0x2122), HBF_BYTE2_RANGES);
}

TEST_F(HbfFont, ImpossibleBoundingBox) {
  EXPECT_EQ(load("HBF_BITMAP_BOUNDING_BOX 16 -16\n"), HBF_NO_MEMORY);
  EXPECT_EQ(load("HBF_BITMAP_BOUNDING_BOX 100000 100000\n"), HBF_NO_MEMORY);
  EXPECT_EQ(hbf_load_message(HBF_NO_MEMORY), "内存不够.");
}

TEST_F(HbfFont, MissingKeywordsLeaveAnEmptyFont) {
  ASSERT_EQ(load("HBF_START_FONT 1.1\nHBF_END_FONT\n"), HBF_LOADED);
  EXPECT_EQ(font_.glyph_bytes, 0);
  EXPECT_EQ(hbf_glyph(font_, 0xA1A1), HBF_NO_CODE_RANGE);
}

TEST_F(HbfFont, LinesLongerThanTheFormatAllowsDoNotHideKeywords) {
  scratch_.write_numbered_glyphs("gb.bin", 94);
  ASSERT_EQ(
      load("COMMENT " + std::string(300, 'x') + "\n" +
           description("HBF_BYTE_2_RANGE 0xA1-0xFE\n", "HBF_CODE_RANGE 0xA1A1-0xA1FE gb.bin 0\n")),
      HBF_LOADED);
  EXPECT_EQ(glyph(0xA1A2), 1);
}

// The fonts the build generated from GNU Unifont.
class GeneratedHbf : public testing::Test {
 protected:
  void load(hbf_font& font, std::string_view name) {
    ASSERT_EQ(hbf_load(font, font_path(KESTREL_TEST_FONTS, name)), HBF_LOADED) << name;
  }
  std::vector<std::uint8_t> glyph(hbf_font& font, long code) {
    EXPECT_EQ(hbf_glyph(font, code), 32) << std::hex << code;
    return {font.glyph.begin(), font.glyph.begin() + 32};
  }
  static std::vector<std::uint8_t> unifont_glyph(char32_t code) {
    auto glyph = unifont().full_width(code);
    EXPECT_TRUE(glyph) << std::hex << static_cast<unsigned>(code);
    return glyph ? std::vector<std::uint8_t>(glyph->begin(), glyph->end())
                 : std::vector<std::uint8_t>();
  }
  // The glyph at an index of a bitmap file, read directly.
  static std::vector<std::uint8_t> stored(const std::string& name, long index) {
    std::ifstream file(font_path(KESTREL_TEST_FONTS, name), std::ios::binary);
    file.seekg(index * 32);
    std::vector<std::uint8_t> bytes(32);
    file.read(reinterpret_cast<char*>(bytes.data()), 32);
    return bytes;
  }
};

TEST_F(GeneratedHbf, Kcm14IsBig5) {
  hbf_font kcm14;
  load(kcm14, kKcm14Name);
  EXPECT_EQ(kcm14.byte2_ranges.size(), 2u);
  EXPECT_EQ(glyph(kcm14, 0xA440), unifont_glyph(0x4E00));
  // The index examples: 0xA17E is glyph 62 and 0xA1A1 glyph 63 of the file.
  EXPECT_EQ(glyph(kcm14, 0xA17E), stored("kcm14.bin", 62));
  EXPECT_EQ(glyph(kcm14, 0xA1A1), stored("kcm14.bin", 63));
  EXPECT_EQ(glyph(kcm14, 0xA17E), unifont_glyph(*iconv_code_point("BIG5", "\xA1\x7E")));
  EXPECT_EQ(glyph(kcm14, 0xA1A1), unifont_glyph(*iconv_code_point("BIG5", "\xA1\xA1")));
  EXPECT_EQ(hbf_glyph(kcm14, 0xFA40), HBF_NO_CODE_RANGE);
  EXPECT_EQ(glyph(kcm14, kHbfFallbackCode), unifont_glyph(0x25A1));
}

TEST_F(GeneratedHbf, CnsPlanes) {
  hbf_font cns1, cns2;
  load(cns1, kCns1Name);
  load(cns2, kCns2Name);
  EXPECT_EQ(glyph(cns1, 0x4421), unifont_glyph(0x4E00));
  EXPECT_EQ(glyph(cns2, 0x2121), unifont_glyph(0x4E42));
  // One byte-2 range of 94: 0x2221 is glyph 94, 0x217E glyph 93.
  EXPECT_EQ(glyph(cns1, 0x2221), stored("cns1.bin", 94));
  EXPECT_EQ(glyph(cns1, 0x217E), stored("cns1.bin", 93));
  // A position without a character is blank.
  EXPECT_EQ(glyph(cns1, 0x7E7E), std::vector<std::uint8_t>(32, 0));
}

// Every code of each font shows Unifont's glyph of the character iconv gives
// for it, or is blank where there is none.
TEST_F(GeneratedHbf, EveryGlyphIsUnifontsForItsCharacter) {
  struct font_case {
    std::string_view name;
    const char* charset;
    std::string prefix;
    bool seven_bit;
  };
  for (const font_case& c :
       {font_case{kKcm14Name, "BIG5", "", false}, font_case{kCns1Name, "EUC-TW", "", true},
        font_case{kCns2Name, "EUC-TW", "\x8E\xA2", true}}) {
    hbf_font font;
    load(font, c.name);
    int drawn = 0;
    for (const hbf_code_range& range : font.code_ranges)
      for (long code = range.first; code <= range.last; ++code) {
        int second = static_cast<int>(code & 0xFF);
        if (c.seven_bit ? second < 0x21 || second > 0x7E
                        : second < 0x40 || (second > 0x7E && second < 0xA1) || second > 0xFE)
          continue;
        std::string bytes{static_cast<char>(code >> 8), static_cast<char>(second)};
        if (c.seven_bit)
          bytes = {static_cast<char>(bytes[0] | 0x80), static_cast<char>(second | 0x80)};
        std::optional<char32_t> point = iconv_code_point(c.charset, c.prefix + bytes);
        auto expected = point ? unifont().full_width(*point) : std::nullopt;
        std::vector<std::uint8_t> want =
            expected ? std::vector<std::uint8_t>(expected->begin(), expected->end())
                     : std::vector<std::uint8_t>(32, 0);
        ASSERT_EQ(glyph(font, code), want) << c.name << " " << std::hex << code;
        drawn += expected.has_value();
      }
    EXPECT_GT(drawn, 5000) << c.name;
  }
}

}  // namespace
