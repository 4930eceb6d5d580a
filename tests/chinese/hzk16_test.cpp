#include "chinese/hzk16.h"

#include <gtest/gtest.h>

#include <fstream>

#include "chinese/font_names.h"
#include "platform/file_names.h"
#include "tests/chinese/font_files.h"
#include "tests/chinese/gb_text.h"

namespace {

std::vector<std::uint8_t> bytes_of(const std::optional<glyph16>& glyph) {
  return glyph ? std::vector<std::uint8_t>(glyph->begin(), glyph->end())
               : std::vector<std::uint8_t>();
}

std::vector<std::uint8_t> unifont_glyph(char32_t code) {
  return bytes_of(unifont().full_width(code));
}

TEST(Hzk16, GlyphsLieAtTheirRowAndColumn) {
  font_scratch scratch;
  std::string bytes;
  for (int i = 0; i < 94 * 94; ++i) {
    std::string glyph(32, '\0');
    glyph[0] = static_cast<char>(i >> 8);
    glyph[1] = static_cast<char>(i & 0xFF);
    bytes += glyph;
  }
  scratch.write("hzk16", bytes);  // lower case: the second name tried
  hzk16_file file;
  ASSERT_TRUE(hzk16_open(file, scratch.path()));
  EXPECT_EQ(glyph_number(*hzk16_glyph(file, 1, 1)), 0);
  EXPECT_EQ(glyph_number(*hzk16_glyph(file, 1, 94)), 93);
  EXPECT_EQ(glyph_number(*hzk16_glyph(file, 2, 1)), 94);
  // Row 16 column 1 (0xB0 0xA1) at byte 1410 * 32 = 45120.
  EXPECT_EQ(glyph_number(*hzk16_glyph(file, 16, 1)), 1410);
  EXPECT_EQ(glyph_number(*hzk16_glyph(file, 94, 94)), 94 * 94 - 1);
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
  std::filesystem::copy_file(font_path(KESTREL_TEST_FONTS, kHzk16Name),
                             scratch.file("Mail/CCFONT/hzk16"));
  host_set_drive('K', scratch.path());
  EXPECT_EQ(font_directory("K:\\MAIL"), "K:\\MAIL\\ccfont\\");
  EXPECT_EQ(font_directory("K:\\MAIL\\"), "K:\\MAIL\\ccfont\\");
  hzk16_file file;
  ASSERT_TRUE(hzk16_open(file, font_directory("K:\\MAIL")));
  EXPECT_EQ(bytes_of(hzk16_glyph(file, 16, 1)), unifont_glyph(0x554A));
}

class GeneratedHzk16 : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(hzk16_open(file_, KESTREL_TEST_FONTS)); }
  hzk16_file file_;
};

TEST_F(GeneratedHzk16, Row16Column1IsUnifontsU554A) {
  EXPECT_EQ(bytes_of(hzk16_glyph(file_, 16, 1)), unifont_glyph(0x554A));
  std::ifstream raw(font_path(KESTREL_TEST_FONTS, kHzk16Name), std::ios::binary);
  raw.seekg(45120);
  std::vector<std::uint8_t> stored(32);
  raw.read(reinterpret_cast<char*>(stored.data()), 32);
  EXPECT_EQ(stored, unifont_glyph(0x554A));
  raw.seekg(0, std::ios::end);
  EXPECT_EQ(static_cast<std::size_t>(raw.tellg()), kHzk16Size);
}

TEST_F(GeneratedHzk16, EveryGbCharacterHasUnifontsGlyph) {
  std::vector<std::string> characters = gb2312_characters();
  for (const std::string& pair : characters) {
    int row = static_cast<unsigned char>(pair[0]) - 0xA0;
    int column = static_cast<unsigned char>(pair[1]) - 0xA0;
    char32_t point = *iconv_code_point("GB2312", pair);
    auto expected = unifont().full_width(point);
    ASSERT_TRUE(expected) << std::hex << static_cast<unsigned>(point);
    ASSERT_EQ(bytes_of(hzk16_glyph(file_, row, column)), bytes_of(expected))
        << row << "," << column;
  }
  // Positions without a character are blank.
  EXPECT_EQ(bytes_of(hzk16_glyph(file_, 10, 1)), std::vector<std::uint8_t>(32, 0));
}

TEST_F(GeneratedHzk16, NarrowUnifontGlyphsAreCentred) {
  // Greek alpha (row 6 column 33) is 8 wide in Unifont.
  auto half = unifont().half_width(0x03B1);
  ASSERT_TRUE(half);
  std::optional<glyph16> glyph = hzk16_glyph(file_, 6, 33);
  ASSERT_TRUE(glyph);
  for (int line = 0; line < 16; ++line) {
    unsigned row = (*glyph)[line * 2] << 8 | (*glyph)[line * 2 + 1];
    EXPECT_EQ(row, static_cast<unsigned>((*half)[line]) << 4) << line;
  }
}

}  // namespace
