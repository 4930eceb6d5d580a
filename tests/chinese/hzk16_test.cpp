#include "chinese/hzk16.h"

#include <gtest/gtest.h>

#include "chinese/font_names.h"
#include "platform/file_names.h"
#include "tests/chinese/charset_text.h"
#include "tests/chinese/font_files.h"
#include "tests/support/file_text.h"

namespace {

std::vector<std::uint8_t> bytes_of(const std::optional<glyph16>& glyph) {
  return glyph ? std::vector<std::uint8_t>(glyph->begin(), glyph->end())
               : std::vector<std::uint8_t>();
}

TEST(Hzk16, GlyphsLieAtTheirRowAndColumn) {
  font_scratch scratch;
  scratch.write("hzk16", numbered_glyphs(94 * 94));  // lower case: the second name tried
  hzk16_file file;
  ASSERT_TRUE(hzk16_open(file, scratch.path()));
  // Row 16 column 1 (0xB0 0xA1) at byte 1410 * 32 = 45120.
  const int places[][3] = {{1, 1, 0}, {1, 94, 93}, {2, 1, 94}, {16, 1, 1410}, {94, 94, 8835}};
  for (const auto& [row, column, number] : places)
    EXPECT_EQ(glyph_number(*hzk16_glyph(file, row, column)), number) << row << "," << column;
  EXPECT_FALSE(hzk16_glyph(file, 0, 1));
  EXPECT_FALSE(hzk16_glyph(file, 1, 95));
}

TEST(Hzk16, ShortOrMissingFile) {
  font_scratch scratch;
  hzk16_file file;
  EXPECT_FALSE(hzk16_open(file, scratch.path()));
  EXPECT_FALSE(hzk16_glyph(file, 1, 1));
  scratch.write("HZK16", std::string(32 * 94, 'x'));
  ASSERT_TRUE(hzk16_open(file, scratch.path()));
  EXPECT_TRUE(hzk16_glyph(file, 1, 94));
  EXPECT_FALSE(hzk16_glyph(file, 2, 1));
}

// The fonts live in "<work directory>\ccfont\", named the DOS way.
TEST(Hzk16, OpensInTheFontDirectoryOfADosWorkDirectory) {
  font_scratch scratch;
  std::filesystem::create_directories(scratch.file("Mail/CCFONT"));
  scratch.write("Mail/CCFONT/hzk16", numbered_glyphs(94 * 94));
  host_set_drive('K', scratch.path());
  EXPECT_EQ(font_directory("K:\\MAIL"), "K:\\MAIL\\ccfont\\");
  EXPECT_EQ(font_directory("K:\\MAIL\\"), "K:\\MAIL\\ccfont\\");
  hzk16_file file;
  ASSERT_TRUE(hzk16_open(file, font_directory("K:\\MAIL")));
  EXPECT_EQ(glyph_number(*hzk16_glyph(file, 16, 1)), 1410);
}

// The font the build generated from GNU Unifont: every GB 2312 character
// has Unifont's glyph, at its place in the file.
TEST(GeneratedHzk16, EveryGbCharacterHasUnifontsGlyph) {
  hzk16_file file;
  ASSERT_TRUE(hzk16_open(file, KESTREL_TEST_FONTS));
  for (const std::string& pair : gb2312_characters()) {
    int row = static_cast<unsigned char>(pair[0]) - 0xA0;
    int column = static_cast<unsigned char>(pair[1]) - 0xA0;
    char32_t point = *iconv_code_point("GB2312", pair);
    auto expected = unifont().full_width(point);
    ASSERT_TRUE(expected) << std::hex << static_cast<unsigned>(point);
    ASSERT_EQ(bytes_of(hzk16_glyph(file, row, column)), bytes_of(expected)) << row << "," << column;
  }
  EXPECT_EQ(bytes_of(hzk16_glyph(file, 10, 1)), std::vector<std::uint8_t>(32, 0))
      << "positions without a character are blank";
  const std::string raw = file_text(font_path(KESTREL_TEST_FONTS, kHzk16Name));
  EXPECT_EQ(raw.size(), kHzk16Size);
  const auto u554a = unifont().full_width(0x554A);  // row 16 column 1
  EXPECT_EQ(raw.substr(45120, 32), std::string(u554a->begin(), u554a->end()));
}

TEST(GeneratedHzk16, NarrowUnifontGlyphsAreCentred) {
  hzk16_file file;
  ASSERT_TRUE(hzk16_open(file, KESTREL_TEST_FONTS));
  // Greek alpha (row 6 column 33) is 8 wide in Unifont.
  auto half = unifont().half_width(0x03B1);
  ASSERT_TRUE(half);
  std::optional<glyph16> glyph = hzk16_glyph(file, 6, 33);
  ASSERT_TRUE(glyph);
  for (int line = 0; line < 16; ++line) {
    unsigned row = (*glyph)[line * 2] << 8 | (*glyph)[line * 2 + 1];
    EXPECT_EQ(row, static_cast<unsigned>((*half)[line]) << 4) << line;
  }
}

}  // namespace
