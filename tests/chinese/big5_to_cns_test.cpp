#include <gtest/gtest.h>

#include "chinese/converters.h"
#include "tests/chinese/charset_text.h"

namespace {

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
}

TEST(Big5ToCns, SubstituteIsWhiteSquareAsBig5A1BC) {
  EXPECT_EQ(big5_to_cns(0xA1, 0xBC), kBig5CnsSubstitute);
  EXPECT_EQ(bytes_of(kBig5CnsSubstitute), iconv_big5_cns("\xA1\xBC"));
}

TEST(Big5ToCns, BytesOutsideBig5AreNotKnown) {
  for (auto [lead, trail] : {std::pair{0xA4, 0x3F},
                             {0xA4, 0x7F},
                             {0xA4, 0xA0},
                             {0xA4, 0xFF},
                             {0xA0, 0x40},
                             {0xFA, 0x40}})
    EXPECT_FALSE(big5_to_cns_known(lead, trail)) << std::hex << lead << trail;
}

}  // namespace
