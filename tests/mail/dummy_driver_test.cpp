// The dummy driver: INBOX and empty files, appends that make Dawz files,
// mailbox names and the subscription list.

#include "tests/mail/local_fixture.h"

const std::string kLetter = "Subject: hello\r\n\r\nbody\r\n";

class Dummy : public LocalMailboxes {
 protected:
  mail_callbacks callbacks() override {
    mail_callbacks table = LocalMailboxes::callbacks();
    table.on_mailbox = [this](std::string_view name) { listed_.emplace_back(name); };
    return table;
  }
  std::vector<std::string> listed_;
};

// Other files, and missing ones but INBOX, are no mailboxes.
TEST_F(Dummy, InboxWithoutAFileAndAnEmptyFileAreEmptyMailboxes) {
  for (const char* name : {"inbox", "empty.box"}) {
    write("empty.box", "");
    ASSERT_TRUE(opens(name));
    EXPECT_STREQ(stream_->driver->name, "dummy") << name;
    EXPECT_EQ(stream_->nmsgs, 0u);
  }
  EXPECT_FALSE(opens("empty.box", OPEN_SILENT)) << "a silent open finds no mailbox in it";
  write("notes.txt", "just some text\n");
  EXPECT_FALSE(opens("notes.txt"));
  EXPECT_TRUE(logged("Not a mailbox: notes.txt"));
  EXPECT_FALSE(opens("missing.box"));
  EXPECT_TRUE(logged("Can't open mailbox missing.box: no such mailbox"));
}

TEST_F(Dummy, AppendMakesADawzFileAndPingReopensTheStream) {
  ASSERT_TRUE(opens("INBOX"));
  EXPECT_FALSE(stream_->driver->ping(stream_)) << "a still empty mailbox stays as it is";
  EXPECT_STREQ(stream_->driver->name, "dummy");
  ASSERT_TRUE(opens("empty.box", ""));
  ASSERT_TRUE(append(dummy_driver, "empty.box", kLetter)) << testing::PrintToString(texts());
  EXPECT_TRUE(stream_->driver->ping(stream_));
  EXPECT_STREQ(stream_->driver->name, "dawz");
  EXPECT_EQ(stream_->nmsgs, 1u);
  EXPECT_EQ(mail_subject_field(stream_, 1, 80), "hello ");
  ASSERT_TRUE(append(dummy_driver, "INBOX", kLetter));
  ASSERT_TRUE(opens("INBOX"));
  EXPECT_STREQ(stream_->driver->name, "dawz");
}

TEST_F(Dummy, AppendNeedsAnEmptyFile) {
  EXPECT_FALSE(append(dummy_driver, "missing.box", kLetter));
  EXPECT_EQ(notes_, std::vector<std::string>{"[TRYCREATE] Must create mailbox before append"});
  EXPECT_FALSE(exists("missing.box"));
  write("notes.txt", "text\n");
  EXPECT_FALSE(append(dummy_driver, "notes.txt", kLetter));
  EXPECT_TRUE(logged("Indeterminate mailbox format: notes.txt"));
  EXPECT_EQ(read("notes.txt"), "text\n");
}

TEST_F(Dummy, CreateDeleteRename) {
  EXPECT_TRUE(dummy_driver.create(nullptr, "new.box"));
  EXPECT_EQ(read("new.box"), "");
  EXPECT_FALSE(dummy_driver.create(nullptr, "new.box"));
  EXPECT_TRUE(logged("Can't create mailbox new.box: File exists"));
  EXPECT_TRUE(dummy_driver.rename(nullptr, "new.box", "old.box"));
  EXPECT_FALSE(exists("new.box"));
  EXPECT_TRUE(exists("old.box"));
  write("b.box", "b");
  EXPECT_FALSE(dummy_driver.rename(nullptr, "old.box", "b.box")) << "never over another mailbox";
  EXPECT_TRUE(logged("Can't rename mailbox old.box: File exists"));
  EXPECT_EQ(read("b.box"), "b");
  EXPECT_TRUE(dummy_driver.delete_(nullptr, "old.box"));
  EXPECT_FALSE(exists("old.box"));
  EXPECT_FALSE(dummy_driver.delete_(nullptr, "old.box"));
  EXPECT_TRUE(logged("Can't delete mailbox old.box: No such file or directory"));
  EXPECT_FALSE(dummy_driver.create(nullptr, "a.b.c"));
  EXPECT_TRUE(logged("Invalid mailbox name: a.b.c"));
}

TEST_F(Dummy, FormatDriversLeaveNamesToTheDummyDriver) {
  EXPECT_TRUE(tenexdos_driver.create(nullptr, "t.box"));
  EXPECT_TRUE(bezrkdos_driver.rename(nullptr, "t.box", "u.box"));
  EXPECT_TRUE(dawz_driver.delete_(nullptr, "u.box"));
  EXPECT_FALSE(exists("u.box"));
  EXPECT_TRUE(tenexdos_driver.subscribe(nullptr, "t.box"));
  EXPECT_FALSE(tenexdos_driver.subscribe_bboard(nullptr, "t.box"));
}

TEST_F(Dummy, SubscriptionsAndListing) {
  write("SUBSCRIB.LST", "{imap.example.cn}INBOX\r\n");
  for (const char* name : {"work.box", "a.box", "ab.box", "INBOX"})
    EXPECT_TRUE(dummy_driver.subscribe(nullptr, name)) << name;
  EXPECT_FALSE(dummy_driver.subscribe(nullptr, "a.box"));
  EXPECT_TRUE(logged("Already subscribed to mailbox a.box"));
  ASSERT_TRUE(opens("empty.box", ""));
  stream_->driver->list(stream_, "*");
  EXPECT_EQ(listed_, (std::vector<std::string>{"work.box", "a.box", "ab.box"}));
  listed_.clear();
  stream_->driver->list(stream_, "%.box");
  EXPECT_EQ(listed_, std::vector<std::string>{"a.box"});
  EXPECT_TRUE(dummy_driver.unsubscribe(nullptr, "a.box"));
  EXPECT_FALSE(dummy_driver.unsubscribe(nullptr, "a.box"));
  EXPECT_TRUE(logged("Not subscribed to mailbox a.box"));
  EXPECT_FALSE(dummy_driver.subscribe(nullptr, "x.y.z"));
  EXPECT_TRUE(logged("Invalid mailbox name: x.y.z"));
}

TEST_F(Dummy, TheMailboxExtension) {
  EXPECT_EQ(mail_parameters(nullptr, GET_MAILBOX_EXTENSION, nullptr), nullptr);
  char extension[] = "box";
  mail_parameters(nullptr, SET_MAILBOX_EXTENSION, extension);
  EXPECT_TRUE(dummy_driver.create(nullptr, "letters"));
  EXPECT_TRUE(std::filesystem::exists(home_ + "/LETTERS.BOX"));
  EXPECT_FALSE(dummy_driver.create(nullptr, "letters.txt"));
  EXPECT_TRUE(logged("Invalid mailbox name: letters.txt"));
  char empty[] = "";
  mail_parameters(nullptr, SET_MAILBOX_EXTENSION, empty);
  EXPECT_EQ(mail_parameters(nullptr, GET_MAILBOX_EXTENSION, nullptr), nullptr);
}

TEST_F(Dummy, AskingAnEmptyMailboxForAMessageIsFatal) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  ASSERT_TRUE(opens("INBOX"));
  EXPECT_DEATH(stream_->driver->fetchfast(stream_, "1"), "Impossible dummy_fetchfast");
  EXPECT_DEATH(stream_->driver->copy(stream_, "1", "x"), "Impossible dummy_copy");
}

// Pinging an empty mailbox whose file has since become another format.
TEST_F(Dummy, PingAfterAFailedReopenLeavesTheCallersStreamEmptyAndUsable) {
  write("mail.box", "");
  mail_stream* stream = mail_open(nullptr, "mail.box", 0);
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
