#include <gtest/gtest.h>

#include "chinese/converters.h"
#include "tests/chinese/charset_text.h"
#include "tests/chinese/convert_row.h"
#include "tests/support/table.h"

namespace {

class EncodeGb : public testing::TestWithParam<convert_row> {};

TEST_P(EncodeGb, WritesIso2022Cn) {
  expect_conversion(gb_to_iso2022cn, GetParam());
}

const std::string G1 = "\x1B$)A", SO = "\x0E", SI = "\x0F";
const std::string SQUARE = "\x21\x75";  // GB 2312 row 1 column 85

INSTANTIATE_TEST_SUITE_P(
    Rows, EncodeGb,
    testing::Values(
        convert_row{"ascii_unchanged", "plain text\r\n", "plain text\r\n", 0},
        convert_row{"one_character",
                    "a\xB0\xA1"
                    "b",
                    "a" + G1 + SO + "\x30\x21" + SI + "b", 0},
        convert_row{"designation_once_a_line", "\xB0\xA1 \xB0\xA2",
                    G1 + SO + "\x30\x21" + SI + " " + SO + "\x30\x22" + SI, 0},
        // Designations are forgotten at each line feed, and a line that ends
        // in Chinese shifts back before its line end.
        convert_row{"two_lines", "\xB0\xA1\r\n\xB0\xA1\r\n",
                    G1 + SO + "\x30\x21" + SI + "\r\n" + G1 + SO + "\x30\x21" + SI + "\r\n", 0},
        convert_row{"cns_plane2_pairs", "\x8E\xA2\xA1\xA1\x8E\xA2\xA1\xA2",
                    "\x1B$*0\x1BN\x21\x21\x1BN\x21\x22", 0},
        convert_row{"cns_plane3_pair", "\x8E\xA3\xA1\xA1", "\x1B$+1\x1BO\x21\x21", 0},
        convert_row{"plane2_between_gb", "\xB0\xA1\x8E\xA2\xA1\xA1\xB0\xA1",
                    G1 + SO + "\x30\x21" + "\x1B$*0\x1BN\x21\x21" + "\x30\x21" + SI, 0},
        // Bytes that are no character become WHITE SQUARE; what follows them
        // is read on its own, a line end included.
        convert_row{"lead_before_line_end", "\xB0\r\n", G1 + SO + SQUARE + SI + "\r\n", 1},
        convert_row{"lone_lead_at_end", "a\xB0", "a" + G1 + SO + SQUARE + SI, 1},
        convert_row{"byte_below_a1", "\x80\xB0\xA1", G1 + SO + SQUARE + "\x30\x21" + SI, 1},
        convert_row{"prefix_without_plane",
                    "\x8E"
                    "a",
                    G1 + SO + SQUARE + SI + "a", 1},
        convert_row{"prefix_with_broken_pair",
                    "\x8E\xA2\xA1"
                    "a",
                    G1 + SO + SQUARE + SQUARE + SI + "a", 2}),
    row_name());

// iconv's ISO-2022-CN decoder reads the output back to the input.
TEST(EncodeGbAgainstIconv, EveryGbCharacterAlone) {
  std::vector<std::string> characters = gb2312_characters();
  ASSERT_EQ(characters.size(), 7445u);
  for (const std::string& character : characters) {
    std::string encoded;
    EXPECT_EQ(gb_to_iso2022cn(character, encoded), 0u);
    ASSERT_EQ(iconv_text("ISO-2022-CN", "GB2312", encoded), character);
  }
}

}  // namespace
