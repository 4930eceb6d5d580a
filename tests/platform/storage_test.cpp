#include "platform/storage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/table.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

constexpr std::size_t kImpossible = std::size_t{1} << 45;  // 32 TiB

TEST(Storage, ZeroSizeGivesAUsableBlock) {
  void* block = storage_get(0);
  ASSERT_NE(block, nullptr);
  storage_give(block);
  EXPECT_EQ(block, nullptr);
}

TEST(Storage, ResizeKeepsTheContents) {
  void* block = storage_get(4);
  std::memcpy(block, "abc", 4);
  storage_resize(block, 1 << 20);
  EXPECT_STREQ(static_cast<char*>(block), "abc");
  storage_give(block);
}

TEST(Storage, TextCopyIsADistinctCopy) {
  EXPECT_EQ(text_copy(nullptr), nullptr);
  const char* original = "In.box";
  char* copy = text_copy(original);
  EXPECT_STREQ(copy, original);
  EXPECT_NE(copy, original);
  void* block = copy;
  storage_give(block);
}

struct case_row {
  std::string name;
  std::string input;
  std::string upper;
  std::string lower;
};

class TextCase : public testing::TestWithParam<case_row> {};

TEST_P(TextCase, ChangesOnlyAsciiLetters) {
  const case_row& row = GetParam();
  std::string up = row.input, down = row.input;
  EXPECT_EQ(text_upper(up), row.upper);
  EXPECT_EQ(text_lower(down), row.lower);
  std::string c_text = row.input;
  EXPECT_STREQ(text_upper(c_text.data()), row.upper.c_str());
  EXPECT_STREQ(text_lower(c_text.data()), row.lower.c_str());
}

INSTANTIATE_TEST_SUITE_P(Rows, TextCase,
                         testing::Values(case_row{"plain", "In.Box", "IN.BOX", "in.box"},
                                         case_row{"digits_and_signs", "a1-_@Z", "A1-_@Z", "a1-_@z"},
                                         // GB 2312 bytes must survive: their second byte may look
                                         // like a letter only when masked to 7 bits.
                                         case_row{"gb2312_bytes", "\xB0\xA1x\xC4\xE3",
                                                  "\xB0\xA1X\xC4\xE3", "\xB0\xA1x\xC4\xE3"},
                                         case_row{"latin1_letters", "\xE9t\xC9", "\xE9T\xC9",
                                                  "\xE9t\xC9"},
                                         case_row{"empty", "", "", ""}),
                         row_name());

using StorageDeathTest = testing::Test;

TEST_F(StorageDeathTest, ExhaustionIsFatal) {
  EXPECT_DEATH(storage_get(kImpossible), "Out of free storage");
  EXPECT_DEATH(
      {
        void* block = storage_get(16);
        storage_resize(block, kImpossible);
      },
      "Can't resize free storage");
}

TEST_F(StorageDeathTest, StandardContainersEndInTheSameFatalError) {
  if (kAddressSanitizer)
    GTEST_SKIP() << "AddressSanitizer's operator new reports exhaustion itself";
  EXPECT_DEATH(
      {
        std::string huge;
        huge.reserve(kImpossible);
      },
      "Out of free storage");
}

}  // namespace
