#include <gtest/gtest.h>

#include "chinese/converters.h"
#include "tests/chinese/charset_text.h"
#include "tests/chinese/convert_row.h"
#include "tests/support/table.h"

namespace {

class Decode : public testing::TestWithParam<convert_row> {};

TEST_P(Decode, GivesGbBytes) {
  expect_conversion(iso2022cn_to_gb, GetParam());
}

const std::string S = "\x15\x69";  // the substitute

INSTANTIATE_TEST_SUITE_P(
    Rows, Decode,
    testing::Values(
        convert_row{"gb_in_g1",
                    "\x1B$)A\x0E\x30\x21\x0F"
                    "a",
                    "\xB0\xA1"
                    "a",
                    0},
        convert_row{"gb_in_g0_without_shift", "\x1B$A\x30\x21", "\xB0\xA1", 0},
        convert_row{"cns_plane1_pairs", "\x1B$)G\x0E\x44\x21\x44\x22\x0F", S + S, 2},
        convert_row{"controls_and_blanks_pass", "a\tb \r\n\x7F\x01", "a\tb \r\n\x7F\x01", 0},
        convert_row{"designations_last_across_lines", "\x1B$)A\x0E\x30\x21\x0F\r\n\x0E\x30\x21\x0F",
                    "\xB0\xA1\r\n\xB0\xA1", 0},
        convert_row{"eight_bit_byte",
                    "a\xB0"
                    "b",
                    "a" + S + "b", 1},
        convert_row{"shift_without_designation", "\x0E\x30\x21\x0F", S + S, 2},
        convert_row{"text_ends_inside_escape", "ab\x1B$)", "ab", 0},
        convert_row{"text_ends_after_escape", "ab\x1B", "ab", 0},
        convert_row{"ascii_back_in_g0", "\x1B$A\x30\x21\x1B(Bab",
                    "\xB0\xA1"
                    "ab",
                    0},
        convert_row{"unknown_escape_is_one_substitute", "a\x1B(Jb", "a" + S + "b", 1},
        convert_row{"final_below_0", "\x1B$)!x", S, 1},
        // ESC N reaches G2 for one pair only: what follows is read as before.
        convert_row{"single_shift_is_for_one_pair",
                    "\x1B$)A\x1B$*H\x0E\x30\x21\x1BN\x21\x21\x30\x21\x0F"
                    "ab",
                    "\xB0\xA1" + S +
                        "\xB0\xA1"
                        "ab",
                    1},
        convert_row{"single_shift_then_ascii",
                    "\x1B$*H\x1BN\x21\x21"
                    "ab",
                    S + "ab", 1},
        convert_row{"single_shift_without_g2",
                    "\x1BN"
                    "ab",
                    S + "ab", 1},
        // G3 (ESC $ +) does not replace the GB set in G1.
        convert_row{"g3_leaves_g1", "\x1B$)A\x1B$+I\x0E\x1BO\x21\x21\x30\x21\x0F", S + "\xB0\xA1",
                    1},
        // The older form designates with "(" and needs no SO.
        convert_row{"older_form_gb",
                    "\x1B$(A\x30\x21\x0F"
                    "a",
                    "\xB0\xA1"
                    "a",
                    0},
        convert_row{"older_form_cns",
                    "\x1B$(G\x44\x21\x0F"
                    "a",
                    S + "a", 1},
        // A broken sequence or half a pair never takes the line end with it.
        convert_row{"broken_escape_keeps_line_end", "\x1B$)\r\nab", S + "\r\nab", 1},
        convert_row{"half_pair_keeps_line_end", "\x1B$)A\x0E\x30\r\n\x0F", S + "\r\n", 1},
        convert_row{"single_shift_keeps_line_end", "\x1B$*H\x1BN\x21\r\n", S + "\r\n", 1},
        // Another set in G1 is not silently dropped.
        convert_row{"other_set_is_substituted", "\x1B$)E\x0E\x21\x21\x0F", S, 1}),
    row_name());

// iconv's ISO-2022-CN encoding of every GB 2312 character reads back to it.
TEST(DecodeAgainstIconv, EveryGbCharacterAlone) {
  std::vector<std::string> characters = gb2312_characters();
  ASSERT_EQ(characters.size(), 7445u);
  for (const std::string& character : characters) {
    std::optional<std::string> encoded = iconv_text("GB2312", "ISO-2022-CN", character);
    ASSERT_TRUE(encoded);
    std::string decoded;
    EXPECT_EQ(iso2022cn_to_gb(*encoded, decoded), 0u);
    ASSERT_EQ(decoded, character) << "iconv wrote " << testing::PrintToString(*encoded);
  }
}

TEST(DecodeAgainstIconv, LinesMixingGbAndAscii) {
  std::string text = mixed_lines(gb2312_characters());
  std::optional<std::string> encoded = iconv_text("GB2312", "ISO-2022-CN", text);
  ASSERT_TRUE(encoded);
  std::string decoded;
  EXPECT_EQ(iso2022cn_to_gb(*encoded, decoded), 0u);
  EXPECT_TRUE(decoded == text);
}

}  // namespace
