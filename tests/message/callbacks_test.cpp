#include "message/callbacks.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/storage.h"
#include "tests/support/log_capture.h"

namespace {

TEST(Callbacks, LogFormatsIntoAtMost1024Bytes) {
  log_capture log;
  std::string bad(5000, 'x');
  mail_log(LOG_PARSE, "Bad mailbox: %.80s", bad.c_str());
  mail_log(LOG_ERROR, "%s", bad.c_str());
  ASSERT_EQ(log.entries().size(), 2u);
  EXPECT_EQ(log.entries()[0].text, "Bad mailbox: " + std::string(80, 'x'));
  EXPECT_EQ(log.entries()[0].level, LOG_PARSE);
  EXPECT_EQ(log.entries()[1].text.size(), 1023u);
}

TEST(Callbacks, EmptyMembersAreHarmlessAndTheOldTableComesBack) {
  int exists_calls = 0;
  mail_callbacks mine;
  mine.on_exists = [&](mail_stream*, std::uint32_t) { ++exists_calls; };
  mail_callbacks old = mail_set_callbacks(std::move(mine));
  mail_callback().on_exists(nullptr, 3);
  mail_callback().on_log("nobody listens", LOG_INFO);
  mail_callback().on_mailbox("INBOX");
  std::string user, password;
  mail_callback().on_login("host", user, password, 1);
  EXPECT_EQ(exists_calls, 1);
  mail_set_callbacks(std::move(old));
  mail_callback().on_exists(nullptr, 4);
  EXPECT_EQ(exists_calls, 1);
}

using CallbacksDeathTest = testing::Test;

TEST_F(CallbacksDeathTest, FatalGoesToTheApplicationThenStops) {
  EXPECT_DEATH(
      {
        mail_callbacks table;
        table.on_fatal = [](std::string_view text) {
          fprintf(stderr, "application saw <%.*s>\n", static_cast<int>(text.size()), text.data());
        };
        mail_set_callbacks(std::move(table));
        mail_fatal("Bad mm_cache op");
      },
      "application saw <Bad mm_cache op>");
}

TEST_F(CallbacksDeathTest, ExhaustedStorageReachesTheApplicationToo) {
  EXPECT_DEATH(
      {
        mail_callbacks table;
        table.on_fatal = [](std::string_view text) {
          fprintf(stderr, "application saw <%.*s>\n", static_cast<int>(text.size()), text.data());
        };
        mail_set_callbacks(std::move(table));
        storage_get(std::size_t{1} << 45);
      },
      "application saw <Out of free storage>");
}

}  // namespace
