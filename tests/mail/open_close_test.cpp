#include "mail/open_close.h"

#include "mail/cache.h"
#include "tests/mail/test_driver.h"
#include "tests/support/log_capture.h"
#include "tests/support/table.h"

using texts = std::vector<std::string>;

class OpenClose : public testing::Test {
 protected:
  void SetUp() override {
    link_memory_drivers();
    memory_mailboxes()["mem:in"].messages.resize(3);
    memory_mailboxes()["mem:out"].messages.resize(1);
  }
  log_capture log_;
};

struct unknown_row {
  std::string name, mailbox, reason;
};

class OpenUnknown : public OpenClose, public testing::WithParamInterface<unknown_row> {};

TEST_P(OpenUnknown, FailsWithTheReason) {
  const unknown_row& row = GetParam();
  EXPECT_EQ(mail_open(nullptr, row.mailbox, 0), nullptr);
  const log_capture::entry report{"Can't open mailbox " + row.mailbox + ": " + row.reason,
                                  LOG_ERROR};
  EXPECT_EQ(log_.entries(), std::vector<log_capture::entry>{report});
}

const unknown_row kUnknown[] = {
    {"plain_name", "nowhere", "no such mailbox"},
    {"remote", "{imap.example.cn}INBOX", "invalid remote specification"},
    {"remote_bboard", "*{news}x", "invalid remote specification"},
    {"bboard", "*comp.mail", "no such bboard"},
};
INSTANTIATE_TEST_SUITE_P(Rows, OpenUnknown, testing::ValuesIn(kUnknown), row_name());

TEST_F(OpenClose, SilentOpenOfAnUnknownNameSaysNothing) {
  EXPECT_EQ(mail_open(nullptr, "nowhere", OPEN_SILENT), nullptr);
  EXPECT_TRUE(log_.entries().empty());
}

TEST_F(OpenClose, OpenBindsTheFirstDriverThatKnowsTheName) {
  mail_stream* stream = mail_open(nullptr, "mem:in", OPEN_READONLY | OPEN_DEBUG);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->driver, &memory_driver);
  EXPECT_EQ(stream->mailbox, "mem:in");
  EXPECT_EQ(stream->nmsgs, 3u);
  EXPECT_TRUE(stream->readonly && stream->debug);
  EXPECT_FALSE(stream->silent || stream->anonymous || stream->short_cache || stream->halfopen ||
               stream->lock);
  EXPECT_EQ(memory_calls(), texts{"open memory mem:in"});
  mail_close(stream);
  EXPECT_EQ(memory_calls().back(), "close memory");
}

TEST_F(OpenClose, PrototypeComesFromTheDriverWithoutAStream) {
  mail_stream* prototype = mail_open(nullptr, "mem:in", OPEN_PROTOTYPE);
  ASSERT_NE(prototype, nullptr);
  EXPECT_EQ(prototype->driver, &memory_driver);
  EXPECT_EQ(prototype, memory_driver.open(nullptr));
  EXPECT_TRUE(memory_calls().empty());
}

TEST_F(OpenClose, RetargetingClosesTheOldDriverAndReplacesTheOptions) {
  mail_stream* stream = mail_open(nullptr, "mem:in", OPEN_READONLY);
  mail_elt(stream, 2)->seen = 1;
  stream->lock = true;
  ASSERT_EQ(mail_open(stream, "dummy:new", OPEN_SHORTCACHE), stream);
  EXPECT_EQ(stream->driver, &memory_dummy_driver);
  EXPECT_EQ(stream->mailbox, "dummy:new");
  EXPECT_FALSE(stream->readonly || stream->lock);
  EXPECT_TRUE(stream->short_cache);
  EXPECT_EQ(stream->nmsgs, 0u);
  EXPECT_EQ(mail_cache(stream, 2, CACHE_ELT), nullptr) << "the old cache is gone";
  EXPECT_EQ(memory_calls(), (texts{"open memory mem:in", "close memory", "open dummy dummy:new"}));
  mail_close(stream);
}

// The same driver reopens without a close; an unknown name leaves the stream alone.
TEST_F(OpenClose, RetargetingToTheSameDriverOrAnUnknownName) {
  mail_stream* stream = mail_open(nullptr, "mem:in", 0);
  EXPECT_EQ(mail_open(stream, "mem:out", 0), stream);
  EXPECT_EQ(stream->mailbox, "mem:out");
  EXPECT_EQ(memory_calls(), (texts{"open memory mem:in", "open memory mem:out"}));
  EXPECT_EQ(mail_open(stream, "nowhere", 0), stream);
  EXPECT_EQ(stream->mailbox, "mem:out");
  EXPECT_EQ(stream->nmsgs, 1u);
  mail_close(stream);
}

TEST_F(OpenClose, AFailedDriverOpenClosesTheStream) {
  memory_mailboxes()["mem:broken"].refuse_open = true;
  EXPECT_EQ(mail_open(nullptr, "mem:broken", 0), nullptr);
  EXPECT_EQ(memory_calls(), (texts{"open memory mem:broken", "close memory"}));
}

TEST_F(OpenClose, CloseOfAStreamInUseEmptiesButKeepsTheRecord) {
  mail_stream* stream = mail_open(nullptr, "mem:in", 0);
  mail_elt(stream, 1);
  stream->flag_names = "Work Private";
  stream->user_flags[0] = "Work";
  stream->use_count = 1;
  std::uint16_t sequence = stream->close_sequence;
  EXPECT_EQ(mail_close(stream), nullptr);
  EXPECT_EQ(stream->close_sequence, sequence + 1);
  EXPECT_FALSE(stream->mailbox || stream->flag_names || stream->user_flags[0] || stream->local);
  EXPECT_EQ(stream->nmsgs, 0u);
  EXPECT_EQ(stream->cache_size, 0u);
  stream->use_count = 0;
  stream->driver = nullptr;
  mail_close(stream);
  EXPECT_EQ(mail_close(nullptr), nullptr);
}

TEST_F(OpenClose, FindDriverWithAStreamAcceptsOnlyItsOwnDriverOrDummy) {
  mail_stream* stream = mail_open(nullptr, "mem:in", 0);
  EXPECT_EQ(mail_find_driver(stream, "mem:out", nullptr), &memory_driver);
  EXPECT_EQ(mail_find_driver(stream, "dummy:x", nullptr), &memory_driver)
      << "dummy stands for the stream's own driver";
  EXPECT_EQ(mail_find_driver(stream, "nowhere", "copy"), nullptr);
  EXPECT_EQ(log_.texts(), texts{"Can't copy nowhere: no such mailbox"});
  mail_close(stream);
  mail_stream* dummy = mail_open(nullptr, "dummy:x", 0);
  EXPECT_EQ(mail_find_driver(dummy, "mem:in", nullptr), nullptr)
      << "another format driver does not count for a dummy stream";
  mail_close(dummy);
}
