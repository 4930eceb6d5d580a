#include "chinese/hbf_font.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "chinese/font_names.h"
#include "tests/chinese/charset_text.h"
#include "tests/chinese/font_files.h"
#include "tests/support/table.h"

namespace {

// A font over the bitmap files "n.bin" (400 numbered glyphs) and "short.bin"
// (two glyphs of 0x7F and ten bytes).
class HbfFont : public testing::Test {
 protected:
  void SetUp() override {
    scratch_.write("n.bin", numbered_glyphs(400));
    scratch_.write("short.bin", std::string(32 * 2 + 10, '\x7F'));
  }
  void TearDown() override { hbf_unload(font_); }
  int load(const std::string& text) {
    scratch_.write("test.hbf", text);
    return hbf_load(font_, scratch_.file("test.hbf"));
  }

  font_scratch scratch_;
  hbf_font font_;
};

struct glyphs_row {
  std::string name;
  std::string byte2;
  std::string codes;
  std::string glyphs;  // "code:#n" for a whole glyph n, else "code:" what hbf_glyph gave
};

class HbfGlyphs : public HbfFont, public testing::WithParamInterface<glyphs_row> {};

TEST_P(HbfGlyphs, ComeFromTheirPlaceInTheBitmapFile) {
  const glyphs_row& row = GetParam();
  ASSERT_EQ(load(hbf_description(row.byte2, row.codes)), HBF_LOADED);
  EXPECT_EQ(font_.width, 16);
  EXPECT_EQ(font_.height, 16);
  EXPECT_EQ(font_.glyph_bytes, 32);
  std::istringstream probes(row.glyphs);
  std::string glyphs, probe;
  while (probes >> probe) {
    const long code = std::stol(probe, nullptr, 16);
    const int read = hbf_glyph(font_, code);
    glyphs += (glyphs.empty() ? "" : " ") + probe.substr(0, probe.find(':') + 1) +
              (read == 32 ? "#" + std::to_string(glyph_number(font_.glyph)) : std::to_string(read));
    if (read == HBF_NO_CODE_RANGE) {
      EXPECT_EQ(font_.glyph, std::vector<std::uint8_t>(33, 0)) << "cleared for " << probe;
    }
  }
  EXPECT_EQ(glyphs, row.glyphs);
}

const std::string kGb = "0xA1-0xFE", kBig5 = "0x40-0x7E|0xA1-0xFE";

// -4 is HBF_NO_CODE_RANGE, -5 HBF_BYTE2_RANGES.
const glyphs_row kHbfGlyphsRows[] = {
    {"one_byte2_range_counts_rows_of_its_width", kGb, "0xA1A1-0xA3FE n.bin 0",
     "A1A1:#0 A1FE:#93 A2A1:#94 A3FE:#281"},
    {"two_byte2_ranges_skip_the_gap", kBig5, "0xA140-0xA2FE n.bin 0",
     "A140:#0 A17E:#62 A1A1:#63 A1FE:#156 A240:#157 A2A1:#220"},
    // 0241 is octal 0xA1, 254 decimal 0xFE; the range starts 94 glyphs in.
    {"numbers_in_c_notation_and_offsets", "0241-254", "41377-0xA1FE n.bin 3008",
     "A1A1:#94 A1FE:#187"},
    {"codes_outside_every_range", kGb, "0xA1A1-0xA1FE n.bin 0", "A1A5:#4 A2A1:-4 A1A5:#4 A1A0:-4"},
    // Else a second byte between the byte-2 ranges would get a neighbour's glyph.
    {"second_byte_between_the_ranges", kBig5, "0xA140-0xA1FE n.bin 0", "A180:-4 A1A0:-4"},
    {"short_bitmap_file_gives_fewer_bytes", kGb, "0xA1A1-0xA1FE short.bin 0",
     "A1A2:#32639 A1A3:10 A1A4:0"},
    {"ranges_of_one_file", kGb, "0xA1A1-0xA1FE n.bin 0|0xB0A1-0xB0FE n.bin 3008", "B0A2:#95"},
    {"three_byte2_ranges", "0x21-0x30|0x40-0x50|0x60-0x70", "0x2121-0x2170 n.bin 0", "2122:-5"},
};
INSTANTIATE_TEST_SUITE_P(Rows, HbfGlyphs, testing::ValuesIn(kHbfGlyphsRows), row_name());

TEST_F(HbfFont, RangesNamingOneFileOpenItOnceAndUnloadClosesIt) {
  const int before = open_descriptors();
  ASSERT_EQ(load(hbf_description(kGb, "0xA1A1-0xA1FE n.bin 0|0xB0A1-0xB0FE n.bin 3008")),
            HBF_LOADED);
  EXPECT_EQ(open_descriptors(), before + 2) << "the description file and one bitmap file";
  EXPECT_EQ(font_.code_ranges[0].file, font_.code_ranges[1].file);
  hbf_unload(font_);
  EXPECT_EQ(open_descriptors(), before);
  EXPECT_FALSE(font_.loaded());
}

TEST_F(HbfFont, BitmapFilesComeFromTheFontDirectory) {
  font_scratch other;
  other.write("gb.bin", numbered_glyphs(94, 500));
  font_.directory = other.path() + "/";
  ASSERT_EQ(load(hbf_description(kGb, "0xA1A1-0xA1FE gb.bin 0")), HBF_LOADED);
  EXPECT_EQ(hbf_glyph(font_, 0xA1A3), 32);
  EXPECT_EQ(glyph_number(font_.glyph), 502);
}

TEST_F(HbfFont, MissingFilesLeaveNothingOpen) {
  const int before = open_descriptors();
  EXPECT_EQ(hbf_load(font_, scratch_.file("none.hbf")), HBF_NO_DESCRIPTION);
  EXPECT_EQ(hbf_load_message(HBF_NO_DESCRIPTION), "不能打开 HBF 文件。");
  EXPECT_FALSE(font_.loaded());
  EXPECT_EQ(load(hbf_description(kGb, "0xA1A1-0xA1FE n.bin 0|0xA2A1-0xA2FE gone.bin 0")),
            HBF_NO_BITMAP_FILE);
  EXPECT_EQ(hbf_load_message(HBF_NO_BITMAP_FILE), "不能打开字体文件");
  EXPECT_FALSE(font_.loaded());
  EXPECT_EQ(open_descriptors(), before);
}

TEST_F(HbfFont, OddDescriptions) {
  EXPECT_EQ(load("HBF_BITMAP_BOUNDING_BOX 16 -16\n"), HBF_NO_MEMORY);
  EXPECT_EQ(load("HBF_BITMAP_BOUNDING_BOX 100000 100000\n"), HBF_NO_MEMORY);
  EXPECT_EQ(hbf_load_message(HBF_NO_MEMORY), "内存不够.");
  ASSERT_EQ(load("HBF_START_FONT 1.1\nHBF_END_FONT\n"), HBF_LOADED);
  EXPECT_EQ(font_.glyph_bytes, 0) << "missing keywords leave an empty font";
  EXPECT_EQ(hbf_glyph(font_, 0xA1A1), HBF_NO_CODE_RANGE);
  hbf_unload(font_);
  // Lines longer than the format allows do not hide keywords.
  ASSERT_EQ(load("COMMENT " + std::string(300, 'x') + "\n" +
                 hbf_description(kGb, "0xA1A1-0xA1FE n.bin 0")),
            HBF_LOADED);
  EXPECT_EQ(hbf_glyph(font_, 0xA1A2), 32);
  EXPECT_EQ(glyph_number(font_.glyph), 1);
}

// Every code of the fonts the build generated from GNU Unifont shows
// Unifont's glyph of the character iconv gives for it, or is blank where
// there is none.
TEST(GeneratedHbf, EveryGlyphIsUnifontsForItsCharacter) {
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
    ASSERT_EQ(hbf_load(font, font_path(KESTREL_TEST_FONTS, c.name)), HBF_LOADED) << c.name;
    EXPECT_EQ(font.byte2_ranges.size(), c.seven_bit ? 1u : 2u);
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
        ASSERT_EQ(hbf_glyph(font, code), 32) << c.name << " " << std::hex << code;
        ASSERT_EQ(std::vector<std::uint8_t>(font.glyph.begin(), font.glyph.begin() + 32), want)
            << c.name << " " << std::hex << code;
        drawn += expected.has_value();
      }
    EXPECT_GT(drawn, 5000) << c.name;
    if (!c.seven_bit) {
      EXPECT_EQ(hbf_glyph(font, 0xFA40), HBF_NO_CODE_RANGE) << "past the Big5 codes";
    }
  }
}

// Descriptions of any shape load or fail cleanly, and what loads never reads
// more than a glyph.
TEST_F(HbfFont, DescriptionsOfAnyShape) {
  static const char* kLines[] = {"HBF_BITMAP_BOUNDING_BOX", "HBF_START_BYTE_2_RANGES",
                                 "HBF_BYTE_2_RANGE",        "HBF_START_CODE_RANGES",
                                 "HBF_CODE_RANGE",          "COMMENT"};
  static const char* kValues[] = {"16 16",
                                  "-1",
                                  "0x7FFFFFFF",
                                  "2",
                                  "0xA1-0xFE",
                                  "0x40-0x7E",
                                  "-2147483648-2147483647",
                                  "0xA1A1-0xA2FE n.bin 0",
                                  "0-0xFFFF n.bin -64",
                                  "0x2121-0x7E7E n.bin 9223372036854775807",
                                  "",
                                  "3 n.bin"};
  std::mt19937 random(94);
  int loaded = 0;
  for (int round = 0; round < 400; ++round) {
    std::string text;
    for (int line = 0; line < 8; ++line)
      text += std::string(kLines[random() % 6]) + " " + kValues[random() % 12] + "\n";
    if (load(text) != HBF_LOADED) continue;
    ++loaded;
    for (long code : {0x0L, 0x2121L, 0xA1A1L, 0xA1FEL, 0xA2A1L, 0xFFFFL, 0x12345L})
      ASSERT_LE(hbf_glyph(font_, code), font_.glyph_bytes) << text;
    hbf_unload(font_);
  }
  EXPECT_GT(loaded, 100);
}

}  // namespace
