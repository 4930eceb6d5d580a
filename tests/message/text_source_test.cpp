#include "message/text_source.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/table.h"

namespace {

std::string read_all(text_source& source) {
  std::string bytes;
  while (text_remaining(source))
    bytes += text_next(source);
  return bytes;
}

TEST(MemorySource, DeliversEveryByteThenZeroBytesWithoutMoving) {
  std::string text("From: a\r\n\r\nbody\0with zero", 25);
  text_source source;
  text_source_from_memory(source, text);
  EXPECT_EQ(text_remaining(source), 25u);
  EXPECT_EQ(text_next(source), 'F');
  EXPECT_EQ(text_position(source), 1u);
  EXPECT_EQ(text_remaining(source), 24u);
  EXPECT_EQ(read_all(source), text.substr(1));
  EXPECT_EQ(text_next(source), '\0');
  EXPECT_EQ(text_position(source), 25u);
  text_source_from_memory(source, "");
  EXPECT_EQ(text_remaining(source), 0u);
  EXPECT_EQ(read_all(source), "");
  text_source_from_memory(source, "part one--rest");
  source.size = 8;
  EXPECT_EQ(read_all(source), "part one") << "lowering the size ends the text early";
}

struct setpos_row {
  std::string name;
  std::uint32_t position;
  std::string rest;
};

class MemorySourceSetpos : public testing::TestWithParam<setpos_row> {};

TEST_P(MemorySourceSetpos, MovesTheCursor) {
  const setpos_row& row = GetParam();
  text_source source;
  text_source_from_memory(source, "abcdef");
  text_next(source);
  text_next(source);
  text_setpos(source, row.position);
  EXPECT_EQ(text_position(source), std::min<std::uint32_t>(row.position, 6));
  EXPECT_EQ(read_all(source), row.rest);
}

INSTANTIATE_TEST_SUITE_P(Rows, MemorySourceSetpos,
                         testing::Values(setpos_row{"back_to_start", 0, "abcdef"},
                                         setpos_row{"middle", 3, "def"},
                                         setpos_row{"last_byte", 5, "f"}, setpos_row{"end", 6, ""},
                                         setpos_row{"past_end_is_end", 40, ""}),
                         row_name());

}  // namespace
