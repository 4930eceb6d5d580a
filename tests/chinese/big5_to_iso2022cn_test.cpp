#include <gtest/gtest.h>

#include "chinese/converters.h"
#include "tests/chinese/charset_text.h"
#include "tests/chinese/convert_row.h"
#include "tests/support/table.h"

namespace {

class EncodeBig5 : public testing::TestWithParam<convert_row> {};

TEST_P(EncodeBig5, WritesRfc1922Sequences) {
  expect_conversion(big5_to_iso2022cn, GetParam());
}

const std::string P1 = "\x1B$)G", P2 = "\x1B$*H", SS2 = "\x1BN", SO = "\x0E", SI = "\x0F";
// Big5 A440 and A441 lie on plane 1 at 4421 and 4422, C940 on plane 2 at 2121.
const std::string YI = "\xA4\x40", YI2 = "\xA4\x41", PLANE2 = "\xC9\x40";

INSTANTIATE_TEST_SUITE_P(
    Rows, EncodeBig5,
    testing::Values(convert_row{"ascii_unchanged", "A b\r\n", "A b\r\n", 0},
                    convert_row{"empty", "", "", 0},
                    convert_row{"plane1_after_ascii", "A" + YI + YI2,
                                "A" + P1 + SO + "\x44\x21\x44\x22" + SI, 0},
                    convert_row{"shift_in_once_out_once", YI + "ab" + YI2 + "c",
                                P1 + SO + "\x44\x21" + SI + "ab" + SO + "\x44\x22" + SI + "c", 0},
                    convert_row{"plane2_single_shift_each", PLANE2 + PLANE2 + "a",
                                P2 + SS2 + "\x21\x21" + SS2 + "\x21\x21" + "a", 0},
                    convert_row{"plane2_inside_plane1", YI + PLANE2 + YI2,
                                P1 + SO + "\x44\x21" + P2 + SS2 + "\x21\x21" + "\x44\x22" + SI, 0},
                    // Designations are repeated on each line; SI comes before the line end.
                    convert_row{"lines", YI + "\r\n" + YI + PLANE2 + "\r\n" + PLANE2,
                                P1 + SO + "\x44\x21" + SI + "\r\n" + P1 + SO + "\x44\x21" + P2 +
                                    SS2 + "\x21\x21" + SI + "\r\n" + P2 + SS2 + "\x21\x21",
                                0},
                    // C94A has no plane 1 or 2 counterpart: WHITE SQUARE, plane 1 217B.
                    convert_row{"unknown_code", "\xC9\x4A", P1 + SO + "\x21\x7B" + SI, 1},
                    convert_row{"lead_before_line_end", "\xA4\r\n",
                                P1 + SO + "\x21\x7B" + SI + "\r\n", 1},
                    convert_row{"lone_lead_at_end", "a\xA4", "a" + P1 + SO + "\x21\x7B" + SI, 1},
                    convert_row{"trail_between_ranges", "\xA4\x80", P1 + SO + "\x21\x7B" + SI, 1}),
    row_name());

// For every Big5 code iconv puts on CNS plane 1 or 2, iconv's ISO-2022-CN
// decoder reads the output back to Big5 as the input.
TEST(EncodeBig5AgainstIconv, EveryCodeOnPlanesOneAndTwo) {
  std::size_t checked = 0;
  std::string all;
  for (const std::string& code : big5_codes()) {
    if (iconv_big5_cns(code).empty()) continue;
    std::string encoded;
    EXPECT_EQ(big5_to_iso2022cn(code, encoded), 0u);
    std::optional<std::string> decoded = iconv_text("ISO-2022-CN", "BIG5", encoded);
    // Where Big5 has two codes for one character, iconv returns the other.
    std::optional<std::string> iconv_round =
        iconv_text("ISO-2022-CN", "BIG5", iconv_text("BIG5", "ISO-2022-CN", code).value_or(""));
    ASSERT_TRUE(decoded) << testing::PrintToString(code);
    EXPECT_EQ(*decoded, iconv_round.value_or(code)) << testing::PrintToString(code);
    if (*decoded == code) ++checked;
    all += code;
    if (checked % 40 == 0) all += checked % 80 ? " mail\r\n" : "\r\n";
  }
  EXPECT_GT(checked, 13000u);
  std::string encoded;
  EXPECT_EQ(big5_to_iso2022cn(all, encoded), 0u);
  std::optional<std::string> decoded = iconv_text("ISO-2022-CN", "BIG5", encoded);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->size(), all.size());
}

}  // namespace
