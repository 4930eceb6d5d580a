#include "platform/display_codec.h"

#include <gtest/gtest.h>

#include "tests/support/table.h"

namespace {

struct codec_row {
  std::string name;
  long platform;
  std::string bytes;
  std::string utf8;
};

class DisplayCodec : public testing::TestWithParam<codec_row> {};

TEST_P(DisplayCodec, ShowsTheBytesAsText) {
  const codec_row& row = GetParam();
  display_codec codec(row.platform);
  EXPECT_EQ(codec.to_utf8(row.bytes), row.utf8);
}

const std::string kReplacement = "\xEF\xBF\xBD";

INSTANTIATE_TEST_SUITE_P(
    Rows, DisplayCodec,
    testing::Values(codec_row{"AsciiIsAscii", 0, "Re: hello", "Re: hello"},
                    codec_row{"GbOnTheGbPlatform", 1, "\xC4\xB3\xC8\xCB", "某人"},
                    codec_row{"GbWhenBothAreShown", 3, "\xD6\xD0\xCE\xC4", "中文"},
                    codec_row{"GbWhenNeitherIsShown", 0, "\xD6\xD0\xCE\xC4", "中文"},
                    codec_row{"Big5OnTheBig5Platform", 2, "\xA4\xA4\xA4\xE5", "中文"},
                    codec_row{"HkscsCharacters", 2, "\x88\x40", "\xE3\x87\x80"},
                    codec_row{"AnUnreadableByteIsReplacedNotDropped", 1,
                              "a\xFF"
                              "b",
                              "a" + kReplacement + "b"},
                    codec_row{"ALeadByteAtTheEndIsReplaced", 1, "ab\xC4", "ab" + kReplacement},
                    codec_row{"EveryBadByteHasItsReplacement", 2, "\xFF\xFF",
                              kReplacement + kReplacement},
                    codec_row{"ABadPairKeepsTheByteAfterIt", 1, "\xC4 A", kReplacement + " A"}),
    row_name());

TEST(DisplayCodecPlatform, TheCodePageFollowsTheSetting) {
  display_codec codec(1);
  EXPECT_STREQ(codec.charset(), "GB18030");
  codec.set_platform(2);
  EXPECT_STREQ(codec.charset(), "BIG5-HKSCS");
  EXPECT_EQ(codec.to_utf8("\xAC\x59\xA4\x48"), "某人");
  codec.set_platform(0);
  EXPECT_STREQ(codec.charset(), "GB18030");
}

TEST(DisplayCodecPlatform, ProgramTextsGoIntoTheCodePage) {
  display_codec gb(1);
  EXPECT_EQ(gb.from_utf8("某人 x"), "\xC4\xB3\xC8\xCB x");
  display_codec big5(2);
  EXPECT_EQ(big5.from_utf8("某人"), "\xAC\x59\xA4\x48");
  EXPECT_EQ(big5.from_utf8("a\xF0\x9F\x98\x80"
                           "b"),
            "a?b")
      << "a character Big5 lacks";
}

TEST(DisplayCodecPlatform, LongTextsConvertWhole) {
  display_codec codec(1);
  std::string bytes;
  std::string expected;
  for (int i = 0; i < 20000; ++i) {
    bytes += "\xD6\xD0x";
    expected += "中x";
  }
  EXPECT_EQ(codec.to_utf8(bytes), expected);
}

}  // namespace
