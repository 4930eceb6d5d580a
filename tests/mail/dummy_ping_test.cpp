// Pinging an empty mailbox whose file has since become another format.

#include "mail/cache.h"
#include "tests/mail/local_fixture.h"

namespace {

class DummyPing : public LocalMailboxes {};

TEST_F(DummyPing, AFailedReopenLeavesTheCallersStreamEmptyAndUsable) {
  write("mail.box", "");
  mail_stream* stream = open("mail.box");
  ASSERT_NE(stream, nullptr);
  // Now a Tenexdos file whose second internal header is broken.
  write("mail.box", tenex_message("Subject: a\n\nx\n") + "not a header line\n");
  EXPECT_FALSE(stream->driver->ping(stream));
  EXPECT_STREQ(stream->driver->name, "dummy");
  EXPECT_EQ(stream->nmsgs, 0u);
  EXPECT_EQ(stream->mailbox, "mail.box");
  write("mail.box", tenex_message("Subject: a\n\nx\n"));
  EXPECT_TRUE(stream->driver->ping(stream)) << "a later ping re-opens it";
  EXPECT_STREQ(stream->driver->name, "tenexdos");
  EXPECT_EQ(stream->nmsgs, 1u);
  mail_close(stream);
}

}  // namespace
