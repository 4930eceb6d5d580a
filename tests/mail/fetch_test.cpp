#include "mail/fetch.h"
#include "mail/setflag_expunge.h"

#include <gtest/gtest.h>

#include "mail/cache.h"
#include "tests/mail/test_driver.h"

class Fetch : public testing::Test {
 protected:
  void SetUp() override {
    link_memory_drivers();
    auto& box = memory_mailboxes()["mem:in"];
    box.messages.resize(2);
    box.messages[0].header = "From: a@b\r\n\r\n";
    box.messages[0].text = "body one\r\n";
    box.messages[1].from_mailbox = "wang";
    stream_ = mail_open(nullptr, "mem:in", 0);
    ASSERT_NE(stream_, nullptr);
    memory_calls().clear();
  }
  void TearDown() override { mail_close(stream_); }
  mail_stream* stream_ = nullptr;
};

TEST_F(Fetch, OperationsGoToTheDriver) {
  mail_body* body = nullptr;
  mail_envelope* envelope = mail_fetchstructure(stream_, 2, &body);
  ASSERT_NE(envelope, nullptr);
  EXPECT_EQ(envelope->from->mailbox, "wang");
  EXPECT_EQ(body, mail_lelt(stream_, 2)->body.get());
  EXPECT_EQ(mail_fetchheader(stream_, 1), "From: a@b\r\n\r\n");
  EXPECT_EQ(mail_fetchbody(stream_, 1, "1"), std::optional<std::string_view>("body one\r\n"));
  EXPECT_EQ(mail_fetchbody(stream_, 1, "2"), std::nullopt);
  mail_setflag(stream_, "1:2", "\\DELETED");
  mail_expunge(stream_);
  EXPECT_EQ(memory_calls(),
            (std::vector<std::string>{"fetchstructure 2", "fetchheader 1", "fetchbody 1 1",
                                      "fetchbody 1 2", "setflag 1:2 \\DELETED", "expunge"}));
}

TEST_F(Fetch, AStreamWithoutADriverGivesNothing) {
  mail_stream bare;
  bare.nmsgs = 1;
  mail_body* body = reinterpret_cast<mail_body*>(&bare);
  EXPECT_EQ(mail_fetchstructure(&bare, 1, &body), nullptr);
  EXPECT_EQ(body, nullptr);
  EXPECT_EQ(mail_fetchheader(&bare, 1), "");
  EXPECT_EQ(mail_fetchbody(&bare, 1, "1"), std::nullopt);
  mail_setflag(&bare, "1", "\\SEEN");
  mail_expunge(&bare);
  mail_release(&bare, RELEASE_ENVELOPES | RELEASE_TEXTS);
}

TEST_F(Fetch, ReleaseFreesEnvelopesAndTexts) {
  mail_fetchstructure(stream_, 1, nullptr);
  mail_fetchstructure(stream_, 2, nullptr);
  stream_->current_msgno = 2;
  stream_->current_envelope = mail_new_envelope();
  stream_->text = "last text";
  mail_release(stream_, RELEASE_ENVELOPES);
  EXPECT_EQ(mail_lelt(stream_, 1)->envelope, nullptr);
  EXPECT_EQ(mail_lelt(stream_, 2)->body, nullptr);
  EXPECT_EQ(stream_->current_msgno, 0u);
  EXPECT_EQ(stream_->current_envelope, nullptr);
  EXPECT_EQ(stream_->text, "last text");
  mail_release(stream_, RELEASE_TEXTS);
  EXPECT_EQ(stream_->text, std::nullopt);
  EXPECT_EQ(memory_calls().back(), "release 4") << "the driver is asked first, every time";
}

TEST_F(Fetch, ReleaseInShortCacheModeLeavesTheElementsAlone) {
  mail_fetchstructure(stream_, 1, nullptr);
  stream_->short_cache = true;
  stream_->current_envelope = mail_new_envelope();
  mail_release(stream_, RELEASE_ENVELOPES);
  EXPECT_NE(static_cast<mail_long_element*>(mail_cache(stream_, 1, CACHE_LONG))->envelope, nullptr);
  EXPECT_EQ(stream_->current_envelope, nullptr);
  stream_->short_cache = false;
}

using FetchDeathTest = Fetch;

TEST_F(FetchDeathTest, MessageNumbersOutsideTheMailboxAreFatal) {
  EXPECT_DEATH(mail_fetchstructure(stream_, 0, nullptr), "Bad msgno in mail_fetchstructure");
  EXPECT_DEATH(mail_fetchstructure(stream_, 3, nullptr), "Bad msgno in mail_fetchstructure");
  EXPECT_DEATH(mail_fetchheader(stream_, 3), "Bad msgno in mail_fetchheader");
  EXPECT_DEATH(mail_fetchbody(stream_, 0, "1"), "Bad msgno in mail_fetchbody");
}
