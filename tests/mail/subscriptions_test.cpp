#include "mail/mailbox_pattern.h"
#include "mail/subscriptions.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/environment.h"
#include "tests/support/log_capture.h"
#include "tests/support/table.h"

namespace fs = std::filesystem;

namespace {

class Subscriptions : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kestrel-subscriptions-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    home_ = pattern;
    env_parameters(SET_HOME_DIR, home_.string().data());
  }
  void TearDown() override { fs::remove_all(home_); }

  std::string file() const {
    std::ifstream in(home_ / "SUBSCRIB.LST", std::ios::binary);
    std::stringstream contents;
    contents << in.rdbuf();
    return contents.str();
  }
  void write(const std::string& contents) {
    std::ofstream(home_ / "SUBSCRIB.LST", std::ios::binary) << contents;
  }
  std::vector<std::string> listed() {
    std::vector<std::string> names;
    subscription_state state;
    while (auto name = subscription_next(state))
      names.push_back(*name);
    return names;
  }

  fs::path home_;
  log_capture log_;
};

TEST_F(Subscriptions, AddWritesOneLineEachWithCrLf) {
  EXPECT_TRUE(subscription_add("Work"));
  EXPECT_TRUE(subscription_add("{imap.example.cn}INBOX"));
  EXPECT_EQ(file(), "Work\r\n{imap.example.cn}INBOX\r\n");
  EXPECT_EQ(listed(), (std::vector<std::string>{"Work", "{imap.example.cn}INBOX"}));
}

TEST_F(Subscriptions, AddingTwiceIsRefused) {
  EXPECT_TRUE(subscription_add("Work"));
  EXPECT_FALSE(subscription_add("Work"));
  EXPECT_EQ(log_.texts(), std::vector<std::string>{"Already subscribed to mailbox Work"});
  EXPECT_EQ(log_.entries()[0].level, LOG_ERROR);
  EXPECT_TRUE(subscription_add("work")) << "names compare exactly";
}

TEST_F(Subscriptions, LinesWithBareLineFeedsAreReadToo) {
  write("a\nb\r\n\n\r\nc\n");
  EXPECT_EQ(listed(), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_FALSE(subscription_add("b"));
}

TEST_F(Subscriptions, AnUnfinishedLastLineIsNotJoinedToTheNextName) {
  write("old");
  EXPECT_TRUE(subscription_add("old")) << "a line without its end is not compared";
  EXPECT_EQ(file(), "old\r\nold\r\n");
}

TEST_F(Subscriptions, RemoveTakesEveryEqualLineAndKeepsTheOrder) {
  write("a\r\nb\r\na\r\nc\n");
  EXPECT_TRUE(subscription_remove("a"));
  EXPECT_EQ(file(), "b\r\nc\n");
  EXPECT_FALSE(subscription_remove("a"));
  EXPECT_EQ(log_.texts(), std::vector<std::string>{"Not subscribed to mailbox a"});
}

TEST_F(Subscriptions, RemoveWithoutAListSaysSo) {
  EXPECT_FALSE(subscription_remove("a"));
  EXPECT_EQ(log_.texts(), std::vector<std::string>{"No subscriptions"});
}

TEST_F(Subscriptions, AWalkWithoutAFileEndsAtOnceAndCanStartAgain) {
  EXPECT_TRUE(listed().empty());
  write("x\r\n");
  EXPECT_EQ(listed(), std::vector<std::string>{"x"});
  EXPECT_EQ(listed(), std::vector<std::string>{"x"});
}

struct pattern_row {
  std::string name;
  std::string mailbox;
  std::string pattern;
  bool matches;
};

class PatternMatch : public testing::TestWithParam<pattern_row> {};

TEST_P(PatternMatch, Decides) {
  const pattern_row& row = GetParam();
  EXPECT_EQ(mailbox_pattern_match(row.mailbox, row.pattern), row.matches);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PatternMatch,
    testing::Values(pattern_row{"star_matches_all", "Work", "*", true},
                    pattern_row{"star_matches_empty_name", "", "*", true},
                    pattern_row{"percent_is_one_character", "a.box", "%.box", true},
                    pattern_row{"percent_is_not_two", "ab.box", "%.box", false},
                    pattern_row{"question_mark", "ab", "a?", true},
                    pattern_row{"case_ignored", "INBOX", "inbox", true},
                    pattern_row{"star_inside", "mail/2024/jan", "mail*jan", true},
                    pattern_row{"star_may_match_nothing", "ab", "a*b", true},
                    pattern_row{"star_needs_the_rest", "a", "a*b", false},
                    pattern_row{"star_then_percent", "abc", "*%", true},
                    pattern_row{"longer_name", "Work2", "Work", false},
                    pattern_row{"longer_pattern", "Wor", "Work", false},
                    pattern_row{"exact", "Work", "Work", true}),
    row_name());

}  // namespace
