#include "message/callbacks.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/storage.h"
#include "tests/support/log_capture.h"
#include "tests/support/table.h"

namespace {

TEST(Callbacks, LogFormatsIntoAtMost1024Bytes) {
  log_capture log;
  std::string bad(5000, 'x');
  mail_log(LOG_PARSE, "Bad mailbox: %.80s", bad.c_str());
  mail_log(LOG_ERROR, "%s", bad.c_str());
  ASSERT_EQ(log.entries().size(), 2u);
  EXPECT_EQ(log.entries()[0],
            (log_capture::entry{"Bad mailbox: " + std::string(80, 'x'), LOG_PARSE}));
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

struct fatal_row {
  std::string name;
  std::function<void()> cause;
  std::string text;
};

class CallbacksDeathTest : public testing::TestWithParam<fatal_row> {};

TEST_P(CallbacksDeathTest, FatalGoesToTheApplicationThenStops) {
  EXPECT_DEATH(
      {
        mail_callbacks table;
        table.on_fatal = [](std::string_view text) {
          fprintf(stderr, "application saw <%.*s>\n", static_cast<int>(text.size()), text.data());
        };
        mail_set_callbacks(std::move(table));
        GetParam().cause();
      },
      "application saw <" + GetParam().text + ">");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CallbacksDeathTest,
    testing::Values(fatal_row{"fatal", [] { mail_fatal("Bad mm_cache op"); }, "Bad mm_cache op"},
                    fatal_row{"exhausted_storage", [] { storage_get(std::size_t{1} << 45); },
                              "Out of free storage"}),
    row_name());

}  // namespace
