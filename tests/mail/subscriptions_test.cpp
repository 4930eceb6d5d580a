#include "mail/subscriptions.h"

#include <fstream>

#include "platform/environment.h"
#include "tests/support/file_text.h"
#include "tests/support/log_capture.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/table.h"

using names = std::vector<std::string>;

class Subscriptions : public testing::Test {
 protected:
  void SetUp() override { env_parameters(SET_HOME_DIR, const_cast<char*>(home_.path().c_str())); }

  std::string file() const { return file_text(home_.file("SUBSCRIB.LST")); }
  void write(const std::string& contents) {
    std::ofstream(home_.file("SUBSCRIB.LST"), std::ios::binary) << contents;
  }
  names listed() {
    names result;
    subscription_state state;
    while (auto name = subscription_next(state))
      result.push_back(*name);
    return result;
  }

  scratch_folder home_;
  log_capture log_;
};

TEST_F(Subscriptions, AddWritesOneLineEachWithCrLfAndRefusesATwin) {
  EXPECT_TRUE(subscription_add("Work"));
  EXPECT_TRUE(subscription_add("{imap.example.cn}INBOX"));
  EXPECT_EQ(file(), "Work\r\n{imap.example.cn}INBOX\r\n");
  EXPECT_EQ(listed(), (names{"Work", "{imap.example.cn}INBOX"}));
  EXPECT_FALSE(subscription_add("Work"));
  const log_capture::entry report{"Already subscribed to mailbox Work", LOG_ERROR};
  EXPECT_EQ(log_.entries(), std::vector<log_capture::entry>{report});
  EXPECT_TRUE(subscription_add("work")) << "names compare exactly";
}

TEST_F(Subscriptions, LinesWithBareLineFeedsAreReadToo) {
  write("a\nb\r\n\n\r\nc\n");
  EXPECT_EQ(listed(), (names{"a", "b", "c"}));
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
  EXPECT_EQ(log_.texts(), names{"Not subscribed to mailbox a"});
}

TEST_F(Subscriptions, WithoutAFileRemoveSaysSoAndAWalkEndsAtOnceAndCanStartAgain) {
  EXPECT_FALSE(subscription_remove("a"));
  EXPECT_EQ(log_.texts(), names{"No subscriptions"});
  EXPECT_TRUE(listed().empty());
  write("x\r\n");
  EXPECT_EQ(listed(), names{"x"});
  EXPECT_EQ(listed(), names{"x"});
}
