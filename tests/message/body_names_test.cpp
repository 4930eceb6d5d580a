#include "message/body_names.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The tables live for the whole program, so this file holds the only test
// that fills them.
TEST(BodyNames, NewNamesFillTheFreeSlotsThenOverflow) {
  EXPECT_EQ(body_type_find("TEXT"), TYPE_TEXT);
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

  EXPECT_EQ(body_encoding_find("QUOTED-PRINTABLE"), ENCODING_QUOTED_PRINTABLE);
  for (std::uint16_t i = 0; i < 5; ++i)
    EXPECT_EQ(body_encoding_find("X-CODE-" + std::to_string(i)), 6 + i);
  EXPECT_EQ(body_encoding_find("X-CODE-5"), ENCODING_OTHER);
  EXPECT_EQ(body_encoding_names().size(), 11u);
  EXPECT_EQ(body_type_names().size(), 16u);
}

TEST(BodyNames, DefaultSubtypesAndUnknownIndexes) {
  EXPECT_STREQ(default_subtype_name(TYPE_TEXT), "PLAIN");
  EXPECT_STREQ(default_subtype_name(TYPE_MULTIPART), "MIXED");
  EXPECT_STREQ(default_subtype_name(TYPE_MESSAGE), "RFC822");
  EXPECT_STREQ(default_subtype_name(TYPE_APPLICATION), "OCTET-STREAM");
  EXPECT_STREQ(default_subtype_name(TYPE_AUDIO), "BASIC");
  EXPECT_STREQ(default_subtype_name(TYPE_IMAGE), "UNKNOWN");
  EXPECT_STREQ(default_subtype_name(12), "UNKNOWN");
  EXPECT_EQ(body_type_name(400), "X-UNKNOWN");
  EXPECT_EQ(body_encoding_name(ENCODING_BASE64), "BASE64");
}

}  // namespace
