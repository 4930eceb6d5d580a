#include "chinese/converters.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/chinese/charset_text.h"
#include "tests/support/table.h"

namespace {

using converter = std::size_t (*)(std::string_view, std::string&);

// A converter, its input, the whole output and how many characters became
// substitutes.
struct convert_row {
  std::string name;
  converter convert;
  std::string input;
  std::string output;
  std::size_t substitutes;
};

class Convert : public testing::TestWithParam<convert_row> {};

TEST_P(Convert, AppendsTheOutputAndCountsTheSubstitutes) {
  const convert_row& row = GetParam();
  std::string output = "kept:";
  EXPECT_EQ(row.convert(row.input, output), row.substitutes);
  EXPECT_EQ(output, "kept:" + row.output);
}

const std::string SO = "\x0E", SI = "\x0F", SS2 = "\x1BN";
const std::string G1GB = "\x1B$)A", G1CNS = "\x1B$)G", G2CNS = "\x1B$*H";
const std::string A = "a", B = "b";
const std::string AH = "\xB0\xA1", GBAH = "\x30\x21";  // GB row 16 column 1, in EUC and 7-bit
const std::string SQUARE = "\x21\x75";                 // GB row 1 column 85
const std::string S = "\x15\x69";                      // what the decoder writes for the rest
// Big5 A440 and A441 lie on CNS plane 1 at 4421 and 4422, C940 on plane 2 at
// 2121; C94A on neither (WHITE SQUARE, plane 1 217B, stands for it).
const std::string YI = "\xA4\x40", YI2 = "\xA4\x41", PLANE2 = "\xC9\x40";
const std::string CNS_SQUARE = G1CNS + SO + "\x21\x7B" + SI;

const converter dec = iso2022cn_to_gb, enc_gb = gb_to_iso2022cn, enc_big5 = big5_to_iso2022cn;

const convert_row kConvertRows[] = {
    {"decode_gb_in_g1", dec, G1GB + SO + GBAH + SI + A, AH + A, 0},
    {"decode_gb_in_g0_without_shift", dec, "\x1B$A" + GBAH, AH, 0},
    {"decode_cns_plane1_pairs", dec, G1CNS + SO + "\x44\x21\x44\x22" + SI, S + S, 2},
    {"decode_controls_and_blanks_pass", dec, "a\tb \r\n\x7F\x01", "a\tb \r\n\x7F\x01", 0},
    {"decode_designations_last_across_lines", dec, G1GB + SO + GBAH + SI + "\r\n" + SO + GBAH + SI,
     AH + "\r\n" + AH, 0},
    {"decode_eight_bit_byte", dec, A + "\xB0" + B, A + S + B, 1},
    {"decode_shift_without_designation", dec, SO + GBAH + SI, S + S, 2},
    {"decode_text_ends_inside_escape", dec, "ab\x1B$)", "ab", 0},
    {"decode_text_ends_after_escape", dec, "ab\x1B", "ab", 0},
    {"decode_ascii_back_in_g0", dec, "\x1B$A" + GBAH + "\x1B(Bab", AH + "ab", 0},
    {"decode_unknown_escape_is_one_substitute", dec, "a\x1B(Jb", A + S + B, 1},
    {"decode_final_below_0", dec, "\x1B$)!x", S, 1},
    // ESC N reaches G2 for one pair only: what follows is read as before.
    {"decode_single_shift_is_for_one_pair", dec,
     G1GB + G2CNS + SO + GBAH + SS2 + "\x21\x21" + GBAH + SI + "ab", AH + S + AH + "ab", 1},
    {"decode_single_shift_then_ascii", dec, G2CNS + SS2 + "\x21\x21" + "ab", S + "ab", 1},
    {"decode_single_shift_without_g2", dec, SS2 + "ab", S + "ab", 1},
    // G3 (ESC $ +) does not replace the GB set in G1.
    {"decode_g3_leaves_g1", dec, G1GB + "\x1B$+I" + SO + "\x1BO\x21\x21" + GBAH + SI, S + AH, 1},
    // The older form designates with "(" and needs no SO.
    {"decode_older_form_gb", dec, "\x1B$(A" + GBAH + SI + A, AH + A, 0},
    {"decode_older_form_cns", dec, "\x1B$(G\x44\x21" + SI + A, S + A, 1},
    // A broken sequence or half a pair never takes the line end with it.
    {"decode_broken_escape_keeps_line_end", dec, "\x1B$)\r\nab", S + "\r\nab", 1},
    {"decode_half_pair_keeps_line_end", dec, G1GB + SO + "\x30\r\n" + SI, S + "\r\n", 1},
    {"decode_single_shift_keeps_line_end", dec, G2CNS + SS2 + "\x21\r\n", S + "\r\n", 1},
    // Another set in G1 is not silently dropped.
    {"decode_other_set_is_substituted", dec, "\x1B$)E" + SO + "\x21\x21" + SI, S, 1},

    {"gb_ascii_unchanged", enc_gb, "plain text\r\n", "plain text\r\n", 0},
    {"gb_one_character", enc_gb, A + AH + B, A + G1GB + SO + GBAH + SI + B, 0},
    {"gb_designation_once_a_line", enc_gb, AH + " \xB0\xA2",
     G1GB + SO + GBAH + SI + " " + SO + "\x30\x22" + SI, 0},
    // Designations are forgotten at each line feed, and a line that ends
    // in Chinese shifts back before its line end.
    {"gb_two_lines", enc_gb, AH + "\r\n" + AH + "\r\n",
     G1GB + SO + GBAH + SI + "\r\n" + G1GB + SO + GBAH + SI + "\r\n", 0},
    {"gb_cns_plane2_pairs", enc_gb, "\x8E\xA2\xA1\xA1\x8E\xA2\xA1\xA2",
     "\x1B$*0\x1BN\x21\x21\x1BN\x21\x22", 0},
    {"gb_cns_plane3_pair", enc_gb, "\x8E\xA3\xA1\xA1", "\x1B$+1\x1BO\x21\x21", 0},
    {"gb_plane2_between_gb", enc_gb, AH + "\x8E\xA2\xA1\xA1" + AH,
     G1GB + SO + GBAH + "\x1B$*0\x1BN\x21\x21" + GBAH + SI, 0},
    // Bytes that are no character become WHITE SQUARE; what follows them
    // is read on its own, a line end included.
    {"gb_lead_before_line_end", enc_gb, "\xB0\r\n", G1GB + SO + SQUARE + SI + "\r\n", 1},
    {"gb_lone_lead_at_end", enc_gb, "a\xB0", A + G1GB + SO + SQUARE + SI, 1},
    {"gb_byte_below_a1", enc_gb, "\x80" + AH, G1GB + SO + SQUARE + GBAH + SI, 1},
    {"gb_prefix_without_plane", enc_gb, "\x8E" + A, G1GB + SO + SQUARE + SI + A, 1},
    {"gb_prefix_with_broken_pair", enc_gb, "\x8E\xA2\xA1" + A, G1GB + SO + SQUARE + SQUARE + SI + A,
     2},

    {"big5_ascii_unchanged", enc_big5, "A b\r\n", "A b\r\n", 0},
    {"big5_empty", enc_big5, "", "", 0},
    {"big5_plane1_after_ascii", enc_big5, "A" + YI + YI2,
     "A" + G1CNS + SO + "\x44\x21\x44\x22" + SI, 0},
    {"big5_shift_in_once_out_once", enc_big5, YI + "ab" + YI2 + "c",
     G1CNS + SO + "\x44\x21" + SI + "ab" + SO + "\x44\x22" + SI + "c", 0},
    {"big5_plane2_single_shift_each", enc_big5, PLANE2 + PLANE2 + A,
     G2CNS + SS2 + "\x21\x21" + SS2 + "\x21\x21" + A, 0},
    {"big5_plane2_inside_plane1", enc_big5, YI + PLANE2 + YI2,
     G1CNS + SO + "\x44\x21" + G2CNS + SS2 + "\x21\x21" + "\x44\x22" + SI, 0},
    // Designations are repeated on each line; SI comes before the line end.
    {"big5_lines", enc_big5, YI + "\r\n" + YI + PLANE2 + "\r\n" + PLANE2,
     G1CNS + SO + "\x44\x21" + SI + "\r\n" + G1CNS + SO + "\x44\x21" + G2CNS + SS2 + "\x21\x21" +
         SI + "\r\n" + G2CNS + SS2 + "\x21\x21",
     0},
    {"big5_unknown_code", enc_big5, "\xC9\x4A", CNS_SQUARE, 1},
    {"big5_lead_before_line_end", enc_big5, "\xA4\r\n", CNS_SQUARE + "\r\n", 1},
    {"big5_lone_lead_at_end", enc_big5, "a\xA4", A + CNS_SQUARE, 1},
    {"big5_trail_between_ranges", enc_big5, "\xA4\x80", CNS_SQUARE, 1},
};
INSTANTIATE_TEST_SUITE_P(Rows, Convert, testing::ValuesIn(kConvertRows), row_name());

// Every GB 2312 character alone: iconv's ISO-2022-CN decoder reads our
// encoding back, and we read iconv's encoding back.
TEST(ConvertAgainstIconv, EveryGbCharacterAlone) {
  std::vector<std::string> characters = gb2312_characters();
  ASSERT_EQ(characters.size(), 7445u);
  for (const std::string& character : characters) {
    std::string encoded, decoded;
    EXPECT_EQ(gb_to_iso2022cn(character, encoded), 0u);
    ASSERT_EQ(iconv_text("ISO-2022-CN", "GB2312", encoded), character);
    std::optional<std::string> by_iconv = iconv_text("GB2312", "ISO-2022-CN", character);
    ASSERT_TRUE(by_iconv);
    EXPECT_EQ(iso2022cn_to_gb(*by_iconv, decoded), 0u);
    ASSERT_EQ(decoded, character) << "iconv wrote " << testing::PrintToString(*by_iconv);
  }
}

TEST(ConvertAgainstIconv, DecodeLinesMixingGbAndAscii) {
  std::string text = mixed_lines(gb2312_characters());
  std::optional<std::string> encoded = iconv_text("GB2312", "ISO-2022-CN", text);
  ASSERT_TRUE(encoded);
  std::string decoded;
  EXPECT_EQ(iso2022cn_to_gb(*encoded, decoded), 0u);
  EXPECT_TRUE(decoded == text);
}

// For every Big5 code iconv puts on CNS plane 1 or 2, iconv's ISO-2022-CN
// decoder reads the output back to Big5 as the input.
TEST(ConvertAgainstIconv, EveryBig5CodeOnPlanesOneAndTwo) {
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

std::string bytes_of(const cns_code& code) {
  return {static_cast<char>(code.plane), static_cast<char>(code.row),
          static_cast<char>(code.column)};
}

TEST(Big5ToCns, AgreesWithIconvForEveryBig5Code) {
  std::size_t plane1 = 0, plane2 = 0;
  for (const std::string& code : big5_codes()) {
    auto lead = static_cast<std::uint8_t>(code[0]), trail = static_cast<std::uint8_t>(code[1]);
    std::string expected = iconv_big5_cns(code);
    std::optional<cns_code> known = big5_to_cns_known(lead, trail);
    if (expected.empty()) {
      EXPECT_FALSE(known) << testing::PrintToString(code);
      EXPECT_EQ(big5_to_cns(lead, trail), kBig5CnsSubstitute);
      continue;
    }
    ASSERT_TRUE(known) << testing::PrintToString(code);
    EXPECT_EQ(bytes_of(*known), expected) << testing::PrintToString(code);
    EXPECT_EQ(big5_to_cns(lead, trail), *known);
    (known->plane == 0x21 ? plane1 : plane2)++;
  }
  // CNS 11643 plane 1 holds the common characters, plane 2 the rest of Big5's.
  EXPECT_GT(plane1, 5000u);
  EXPECT_GT(plane2, 7000u);
  EXPECT_EQ(big5_to_cns(0xA1, 0xBC), kBig5CnsSubstitute);
  EXPECT_EQ(bytes_of(kBig5CnsSubstitute), iconv_big5_cns("\xA1\xBC")) << "WHITE SQUARE";
  for (int trail : {0x3F, 0x7F, 0xA0, 0xFF})
    EXPECT_FALSE(big5_to_cns_known(0xA4, trail)) << "trail outside Big5: " << trail;
}

// Arbitrary bytes: nothing may crash or read out of bounds (the sanitizer
// run watches), the decoder writes only text and GB pairs, the encoders stay
// 7-bit.
TEST(RandomInput, DecoderWritesTextAndGbPairsAndEncodersStaySevenBit) {
  std::mt19937 random(1922);
  for (int round = 0; round < 5000; ++round) {
    std::string input = random_bytes(random, 48), output, gb, big5;
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
    gb_to_iso2022cn(input, gb);
    big5_to_iso2022cn(input, big5);
    for (unsigned char byte : gb + big5)
      ASSERT_LT(byte, 0x80) << testing::PrintToString(input);
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

}  // namespace
