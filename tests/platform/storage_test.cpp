#include "platform/storage.h"

#include <cstring>

#include "tests/support/table.h"

#if defined(__SANITIZE_ADDRESS__)
#define KESTREL_ADDRESS_SANITIZER
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KESTREL_ADDRESS_SANITIZER
#endif
#endif

constexpr std::size_t kImpossible = std::size_t{1} << 45;  // 32 TiB

TEST(Storage, BlocksOfAnySizeKeepTheirContentsAndCopiesAreDistinct) {
  void* block = storage_get(0);
  ASSERT_NE(block, nullptr);
  storage_give(block);
  EXPECT_EQ(block, nullptr);
  block = storage_get(4);
  std::memcpy(block, "abc", 4);
  storage_resize(block, 1 << 20);
  EXPECT_STREQ(static_cast<char*>(block), "abc");
  void* copy = text_copy(static_cast<char*>(block));
  EXPECT_STREQ(static_cast<char*>(copy), "abc");
  EXPECT_NE(copy, block);
  storage_give(copy);
  storage_give(block);
  EXPECT_EQ(text_copy(nullptr), nullptr);
}

struct case_row {
  std::string name, input, upper, lower;
};

class TextCase : public testing::TestWithParam<case_row> {};

TEST_P(TextCase, ChangesOnlyAsciiLetters) {
  const case_row& row = GetParam();
  std::string up = row.input, down = row.input, c_text = row.input;
  EXPECT_EQ(text_upper(up), row.upper);
  EXPECT_EQ(text_lower(down), row.lower);
  EXPECT_STREQ(text_upper(c_text.data()), row.upper.c_str());
  EXPECT_STREQ(text_lower(c_text.data()), row.lower.c_str());
}

const case_row kCases[] = {
    {"plain", "In.Box", "IN.BOX", "in.box"},
    {"digits_and_signs", "a1-_@Z", "A1-_@Z", "a1-_@z"},
    // GB 2312 bytes must survive: their second byte may look like a letter
    // only when masked to 7 bits.
    {"gb2312_bytes", "\xB0\xA1x\xC4\xE3", "\xB0\xA1X\xC4\xE3", "\xB0\xA1x\xC4\xE3"},
    {"latin1_letters", "\xE9t\xC9", "\xE9T\xC9", "\xE9t\xC9"},
    {"empty", "", "", ""},
};
INSTANTIATE_TEST_SUITE_P(Rows, TextCase, testing::ValuesIn(kCases), row_name());

TEST(StorageDeathTest, ExhaustionIsFatal) {
  EXPECT_DEATH(storage_get(kImpossible), "Out of free storage");
  EXPECT_DEATH(
      {
        void* block = storage_get(16);
        storage_resize(block, kImpossible);
      },
      "Can't resize free storage");
}

TEST(StorageDeathTest, StandardContainersEndInTheSameFatalError) {
#ifdef KESTREL_ADDRESS_SANITIZER
  GTEST_SKIP() << "AddressSanitizer's operator new reports exhaustion itself";
#endif
  EXPECT_DEATH(std::string().reserve(kImpossible), "Out of free storage");
}
