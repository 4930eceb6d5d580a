#include "message/body_names.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The tables live for the whole program, so this file holds the only test
// that fills them.
TEST(BodyNames, NewNamesFillTheFreeSlotsThenOverflow) {
  EXPECT_EQ(body_type_find("VIDEO"), TYPE_VIDEO);
  EXPECT_EQ(body_type_find("X-UNKNOWN"), TYPE_OTHER);
  for (std::uint16_t i = 0; i < 8; ++i) {
    const std::string name = "X-NEW-" + std::to_string(i);
    EXPECT_EQ(body_type_find(name), 8 + i);
    EXPECT_EQ(body_type_find(name), 8 + i) << "the same name keeps its slot";
    EXPECT_EQ(body_type_name(8 + i), name);
  }
  EXPECT_EQ(body_type_find("X-ONE-TOO-MANY"), TYPE_OTHER);
  EXPECT_EQ(body_type_find("X-NEW-3"), 11);
  EXPECT_EQ(body_type_name(400), "X-UNKNOWN");

  EXPECT_EQ(body_encoding_find("QUOTED-PRINTABLE"), ENCODING_QUOTED_PRINTABLE);
  for (std::uint16_t i = 0; i < 5; ++i)
    EXPECT_EQ(body_encoding_find("X-CODE-" + std::to_string(i)), 6 + i);
  EXPECT_EQ(body_encoding_find("X-CODE-5"), ENCODING_OTHER);
  EXPECT_EQ(body_encoding_names().size(), 11u);
  EXPECT_EQ(body_type_names().size(), 16u);
}

TEST(BodyNames, DefaultSubtypes) {
  const char* expected[] = {"PLAIN", "MIXED", "RFC822", "OCTET-STREAM", "BASIC", "UNKNOWN"};
  for (std::uint16_t type = TYPE_TEXT; type <= TYPE_IMAGE; ++type)
    EXPECT_STREQ(default_subtype_name(type), expected[type]) << type;
  EXPECT_STREQ(default_subtype_name(12), "UNKNOWN");
}

}  // namespace
