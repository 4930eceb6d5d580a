#include "platform/environment.h"

#include <stdlib.h>

#include <set>

#include "platform/random.h"
#include "tests/support/table.h"

std::string text_of(void* value) {
  return value ? static_cast<const char*>(value) : "(null)";
}

// The home directory is computed once per process, so each case runs in a
// fresh child with its own HOME.
struct home_row {
  std::string name;
  const char* home;  // null: unset
  std::string expected;
};

class HomeDirectory : public testing::TestWithParam<home_row> {};

TEST_P(HomeDirectory, ComesFromHomeLessOneTrailingSeparator) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const home_row& row = GetParam();
  EXPECT_EXIT(
      {
        row.home ? setenv("HOME", row.home, 1) : unsetenv("HOME");
        bool unset_before = env_parameters(GET_HOME_DIR, nullptr) == nullptr;
        bool same = home_directory() == row.expected &&
                    text_of(env_parameters(GET_HOME_DIR, nullptr)) == row.expected;
        std::exit(unset_before && same ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

const home_row kHomes[] = {
    {"plain", "/home/wang", "/home/wang"},
    {"trailing_slash", "/home/wang/", "/home/wang"},
    {"dos_style", "C:\\MAIL\\", "C:\\MAIL"},
    {"only_one_separator_removed", "/a//", "/a/"},
    {"unset", nullptr, ""},
};
INSTANTIATE_TEST_SUITE_P(Rows, HomeDirectory, testing::ValuesIn(kHomes), row_name());

// Other codes give nothing.
TEST(EnvironmentParameters, SetStoresACopyThatHomeDirectoryReturns) {
  std::string value = "C:\\USERS\\LI";
  EXPECT_EQ(text_of(env_parameters(SET_HOME_DIR, value.data())), "C:\\USERS\\LI");
  value[0] = 'D';
  EXPECT_EQ(text_of(env_parameters(GET_HOME_DIR, nullptr)), "C:\\USERS\\LI");
  EXPECT_EQ(home_directory(), "C:\\USERS\\LI");
  for (long code : {0L, 101L, 202L, 207L, 302L, 599L, 602L})
    EXPECT_EQ(env_parameters(code, value.data()), nullptr) << code;
}

TEST(EnvironmentParameters, NewsListDefaultsUnderTheHomeDirectory) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        setenv("HOME", "C:\\MAIL", 1);
        bool defaulted = text_of(env_parameters(GET_NEWSRC, nullptr)) == "C:\\MAIL\\NEWSRC";
        char other[] = "D:\\NEWS\\LIST";
        env_parameters(SET_NEWSRC, other);
        bool replaced = text_of(env_parameters(GET_NEWSRC, nullptr)) == "D:\\NEWS\\LIST";
        std::exit(defaulted && replaced ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST(RandomNumber, Varies) {
  std::set<long> seen;
  for (int i = 0; i < 20; ++i)
    seen.insert(random_number());
  EXPECT_GT(seen.size(), 15u);
}
