#include "chinese/typed_text.h"

#include <gtest/gtest.h>

#include "tests/support/table.h"

namespace {

struct typed_row {
  std::string name;
  std::string label;
  std::string typed;  // UTF-8
  std::string bytes;
  std::string refused;  // as the user is told
};

class Typed : public testing::TestWithParam<typed_row> {};

TEST_P(Typed, IsWrittenInTheLabelsCharset) {
  const typed_row& row = GetParam();
  typed_text written = typed_text_encode(row.typed, row.label);
  EXPECT_EQ(written.bytes, row.bytes);
  EXPECT_EQ(refused_characters(written.refused), row.refused);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Typed,
    testing::Values(
        typed_row{"GbText", "CN-GB", "中文\r\n", "\xD6\xD0\xCE\xC4\r\n", ""},
        // The bytes the screen reads back as the same characters.
        typed_row{"GbPunctuationAsGb18030", "gb2312", "·—", "\xA1\xA4\xA1\xAA", ""},
        typed_row{"GbRefusesWhatOnlyGbkHas", "CN-GB", "體丂中ǹ體", "\xD6\xD0", "體 丂 ǹ"},
        typed_row{"Big5Text", "CN-BIG5", "繁體", "\xC1\x63\xC5\xE9", ""},
        typed_row{"Big5RefusesSimplified", "big5", "简a", "a", "简"},
        typed_row{"AsciiRefusesTheRest", "US-ASCII", "a\té", "a\t", "é"},
        typed_row{"IsoGbThenCnsPlaneOne", "ISO-2022-CN", "中體",
                  "\x1B$)A\x0EVP\x0F\x1B$)G\x0E|U\x0F", ""},
        typed_row{"IsoDesignatesEveryLine", "iso-2022-cn", "繁體\n中",
                  "\x1B$)A\x0E\x37\x31\x0F\x1B$)G\x0E|U\x0F\n\x1B$)A\x0EVP\x0F", ""},
        typed_row{"IsoCnsPlaneTwoBySingleShift", "ISO-2022-CN", "乂丟",
                  "\x1B$*H\x1BN!!\x1B$)G\x0EG#\x0F", ""},
        typed_row{"IsoRefusesWhatNoSetHas", "ISO-2022-CN", "a😀", "a", "😀"},
        typed_row{"OtherLabelThroughIconv", "UTF-8", "中", "\xE4\xB8\xAD", ""},
        typed_row{"StatefulLabelEndsInItsFirstState", "ISO-2022-JP", "日", "\x1B$BF|\x1B(B", ""},
        typed_row{"UnknownLabelCarriesAscii", "X-NONE", "a中", "a", "中"}),
    row_name());

}  // namespace
