// Arbitrary bytes into the converters, the walks and the HBF reader: nothing
// may crash or read out of bounds (the sanitizer run watches), the encoders
// must stay 7-bit, and valid text must come back whole.

#include <gtest/gtest.h>

#include <random>

#include "chinese/converters.h"
#include "chinese/hbf_font.h"
#include "chinese/view_walks.h"
#include "tests/chinese/charset_text.h"
#include "tests/chinese/font_files.h"

namespace {

// Bytes that matter to the converters, drawn more often than the rest.
std::string random_bytes(std::mt19937& random, std::size_t most) {
  static const std::string kSpecial = "\x1B$()*+AGHN0O\x0E\x0F\r\n\t \x8E\xA2\xA3\xA1\xFE\xFF\x80";
  std::uniform_int_distribution<std::size_t> length(0, most);
  std::uniform_int_distribution<int> any(0, 255), coin(0, 2);
  std::uniform_int_distribution<std::size_t> special(0, kSpecial.size() - 1);
  std::string text(length(random), '\0');
  for (char& c : text)
    c = coin(random) ? kSpecial[special(random)] : static_cast<char>(any(random));
  return text;
}

bool seven_bit(const std::string& text) {
  for (unsigned char byte : text)
    if (byte >= 0x80) return false;
  return true;
}

TEST(RandomInput, DecoderWritesOnlyTextAndGbPairs) {
  std::mt19937 random(1922);
  for (int round = 0; round < 5000; ++round) {
    std::string input = random_bytes(random, 48), output;
    iso2022cn_to_gb(input, output);
    for (std::size_t i = 0; i < output.size(); ++i) {
      auto byte = static_cast<unsigned char>(output[i]);
      ASSERT_TRUE(byte != 0x1B && byte != 0x0E && byte != 0x0F) << testing::PrintToString(input);
      if (byte >= 0x80) {
        ASSERT_TRUE(i + 1 < output.size() && byte >= 0xA1 && byte <= 0xFE &&
                    static_cast<unsigned char>(output[i + 1]) >= 0xA1)
            << testing::PrintToString(input);
        ++i;
      }
    }
  }
}

TEST(RandomInput, EncodersStaySevenBit) {
  std::mt19937 random(2022);
  for (int round = 0; round < 5000; ++round) {
    std::string input = random_bytes(random, 48), gb, big5;
    gb_to_iso2022cn(input, gb);
    big5_to_iso2022cn(input, big5);
    ASSERT_TRUE(seven_bit(gb)) << testing::PrintToString(input);
    ASSERT_TRUE(seven_bit(big5)) << testing::PrintToString(input);
  }
}

// Text of characters and ASCII (without the bytes ISO-2022-CN itself uses)
// comes back whole, through our decoder and through iconv's.
TEST(RandomInput, ValidTextComesBack) {
  std::mt19937 random(7);
  std::vector<std::string> gb = gb2312_characters();
  std::vector<std::string> big5;
  for (const std::string& code : big5_codes())
    if (!iconv_big5_cns(code).empty() &&
        iconv_text("ISO-2022-CN", "BIG5", *iconv_text("BIG5", "ISO-2022-CN", code)) == code)
      big5.push_back(code);
  const std::string ascii = "ab Z09.,\r\n\t";
  std::uniform_int_distribution<int> coin(0, 2);
  for (int round = 0; round < 300; ++round) {
    std::string gb_text, big5_text;
    for (int i = 0; i < 40; ++i) {
      if (coin(random)) {
        gb_text += gb[random() % gb.size()];
        big5_text += big5[random() % big5.size()];
      } else {
        gb_text += ascii[random() % ascii.size()];
        big5_text += ascii[random() % ascii.size()];
      }
    }
    std::string encoded, decoded;
    EXPECT_EQ(gb_to_iso2022cn(gb_text, encoded), 0u);
    EXPECT_EQ(iso2022cn_to_gb(encoded, decoded), 0u);
    ASSERT_EQ(decoded, gb_text);
    ASSERT_EQ(iconv_text("ISO-2022-CN", "GB2312", encoded), gb_text);
    encoded.clear();
    EXPECT_EQ(big5_to_iso2022cn(big5_text, encoded), 0u);
    ASSERT_EQ(iconv_text("ISO-2022-CN", "BIG5", encoded), big5_text);
  }
}

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

TEST(RandomInput, HbfDescriptionsOfAnyShape) {
  font_scratch scratch;
  scratch.write("a.bin", numbered_glyphs(300));
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
                                  "0xA1A1-0xA2FE a.bin 0",
                                  "0-0xFFFF a.bin -64",
                                  "0x2121-0x7E7E a.bin 9223372036854775807",
                                  "",
                                  "3 a.bin"};
  std::mt19937 random(94);
  int loaded = 0;
  for (int round = 0; round < 400; ++round) {
    std::string text;
    for (int line = 0; line < 8; ++line)
      text += std::string(kLines[random() % 6]) + " " + kValues[random() % 12] + "\n";
    scratch.write("r.hbf", text);
    hbf_font font;
    if (hbf_load(font, scratch.file("r.hbf")) != HBF_LOADED) continue;
    ++loaded;
    for (long code : {0x0L, 0x2121L, 0xA1A1L, 0xA1FEL, 0xA2A1L, 0xFFFFL, 0x12345L}) {
      int read = hbf_glyph(font, code);
      ASSERT_LE(read, font.glyph_bytes) << text;
    }
    hbf_unload(font);
  }
  EXPECT_GT(loaded, 100);
}

}  // namespace
