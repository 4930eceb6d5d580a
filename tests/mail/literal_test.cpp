#include "mail/literal.h"

#include <gtest/gtest.h>

#include "tests/support/log_capture.h"
#include "tests/support/table.h"

// A source whose byte i is 'a' + i % 26; remembers its reads.
struct counting_source {
  std::uint32_t position = 0;
  std::vector<std::uint32_t> reads;
};

bool read_counting(void* source, std::uint32_t size, char* buffer) {
  auto* counting = static_cast<counting_source*>(source);
  for (std::uint32_t i = 0; i < size; ++i)
    buffer[i] = static_cast<char>('a' + (counting->position++ % 26));
  counting->reads.push_back(size);
  return true;
}

struct literal_row {
  std::string name;
  std::uint32_t size, kept;
  std::vector<std::string> warnings;
};

class ReadLiteral : public testing::TestWithParam<literal_row> {};

TEST_P(ReadLiteral, KeepsAtMost65000BytesAndConsumesTheRest) {
  const literal_row& row = GetParam();
  log_capture log;
  counting_source source;
  std::string text = mail_read_literal(read_counting, &source, row.size);
  EXPECT_EQ(text.size(), row.kept);
  EXPECT_EQ(source.position, row.size) << "every byte is taken from the source";
  for (std::uint32_t i = 0; i < text.size(); i += 997)
    ASSERT_EQ(text[i], static_cast<char>('a' + i % 26));
  EXPECT_EQ(log.texts(), row.warnings);
  for (const auto& entry : log.entries())
    EXPECT_EQ(entry.level, LOG_WARNING);
  for (std::size_t i = 1; i < source.reads.size(); ++i)
    EXPECT_LE(source.reads[i], 1024u);
}

const literal_row kLiterals[] = {
    {"empty", 0, 0, {}},
    {"small", 300, 300, {}},
    {"at_the_limit", 65000, 65000, {}},
    {"one_over", 65001, 65000, {"65001 character literal truncated to 65000 characters"}},
    {"5000_over", 70000, 65000, {"70000 character literal truncated to 65000 characters"}},
};
INSTANTIATE_TEST_SUITE_P(Rows, ReadLiteral, testing::ValuesIn(kLiterals), row_name());
