#include "platform/display_codec.h"

#include "tests/support/table.h"

struct codec_row {
  std::string name;
  long platform;
  std::string bytes, utf8;
};

class DisplayCodec : public testing::TestWithParam<codec_row> {};

TEST_P(DisplayCodec, ShowsTheBytesAsText) {
  EXPECT_EQ(display_codec(GetParam().platform).to_utf8(GetParam().bytes), GetParam().utf8);
}

const std::string kBad = "\xEF\xBF\xBD";  // U+FFFD

const codec_row kCodecRows[] = {
    {"AsciiIsAscii", 0, "Re: hello", "Re: hello"},
    {"GbOnTheGbPlatform", 1, "\xC4\xB3\xC8\xCB", "某人"},
    {"GbWhenBothAreShown", 3, "\xD6\xD0\xCE\xC4", "中文"},
    {"GbWhenNeitherIsShown", 0, "\xD6\xD0\xCE\xC4", "中文"},
    {"Big5OnTheBig5Platform", 2, "\xA4\xA4\xA4\xE5", "中文"},
    {"HkscsCharacters", 2, "\x88\x40", "\xE3\x87\x80"},
    {"AnUnreadableByteIsReplacedNotDropped", 1, "a\377b", "a" + kBad + "b"},
    {"ALeadByteAtTheEndIsReplaced", 1, "ab\xC4", "ab" + kBad},
    {"EveryBadByteHasItsReplacement", 2, "\xFF\xFF", kBad + kBad},
    {"ABadPairKeepsTheByteAfterIt", 1, "\xC4 A", kBad + " A"},
};
INSTANTIATE_TEST_SUITE_P(Rows, DisplayCodec, testing::ValuesIn(kCodecRows), row_name());

TEST(DisplayCodecPlatform, TheCodePageFollowsTheSettingBothWays) {
  display_codec codec(1);
  EXPECT_EQ(codec.from_utf8("某人 x"), "\xC4\xB3\xC8\xCB x");
  codec.set_platform(2);
  EXPECT_EQ(codec.to_utf8("\xAC\x59\xA4\x48"), "某人");
  EXPECT_EQ(codec.from_utf8("某人"), "\xAC\x59\xA4\x48");
  EXPECT_EQ(codec.from_utf8("a\360\237\230\200b"), "a?b") << "a character Big5 lacks";
  codec.set_platform(0);
  EXPECT_EQ(codec.to_utf8("\xC4\xB3\xC8\xCB"), "某人");
}

TEST(DisplayCodecPlatform, LongTextsConvertWhole) {
  std::string bytes;
  std::string expected;
  for (int i = 0; i < 20000; ++i) {
    bytes += "\xD6\xD0x";
    expected += "中x";
  }
  EXPECT_EQ(display_codec(1).to_utf8(bytes), expected);
}
