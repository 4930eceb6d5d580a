// The dummy driver: INBOX and empty files, appends that make Dawz files,
// mailbox names and the subscription list.

#include "mail/cache.h"
#include "mail/fields.h"
#include "tests/mail/local_fixture.h"

namespace {

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

TEST_F(Dummy, InboxWithoutAFileIsEmpty) {
  mail_stream* stream = open("inbox");
  ASSERT_NE(stream, nullptr);
  EXPECT_STREQ(stream->driver->name, "dummy");
  EXPECT_EQ(stream->nmsgs, 0u);
  mail_close(stream);
}

TEST_F(Dummy, AnEmptyFileIsAnEmptyMailbox) {
  write("empty.box", "");
  mail_stream* stream = open("empty.box");
  ASSERT_NE(stream, nullptr);
  EXPECT_STREQ(stream->driver->name, "dummy");
  mail_close(stream);
  EXPECT_EQ(open("empty.box", OPEN_SILENT), nullptr);
}

TEST_F(Dummy, OtherFilesAreNoMailboxes) {
  write("notes.txt", "just some text\n");
  EXPECT_EQ(open("notes.txt"), nullptr);
  EXPECT_TRUE(logged("Not a mailbox: notes.txt"));
  EXPECT_EQ(open("missing.box"), nullptr);
  EXPECT_TRUE(logged("Can't open mailbox missing.box: no such mailbox"));
}

TEST_F(Dummy, AppendMakesADawzFileAndPingReopensTheStream) {
  write("empty.box", "");
  mail_stream* stream = open("empty.box");
  ASSERT_NE(stream, nullptr);
  ASSERT_TRUE(append(dummy_driver, "empty.box", kLetter)) << testing::PrintToString(texts());
  EXPECT_TRUE(stream->driver->ping(stream));
  EXPECT_STREQ(stream->driver->name, "dawz");
  EXPECT_EQ(stream->nmsgs, 1u);
  EXPECT_EQ(mail_subject_field(stream, 1, 80), "hello ");
  mail_close(stream);
}

TEST_F(Dummy, PingOfAStillEmptyMailboxKeepsIt) {
  mail_stream* stream = open("INBOX");
  ASSERT_NE(stream, nullptr);
  EXPECT_FALSE(stream->driver->ping(stream));
  EXPECT_STREQ(stream->driver->name, "dummy");
  mail_close(stream);
}

TEST_F(Dummy, AppendToInboxGoesToDawz) {
  ASSERT_TRUE(append(dummy_driver, "INBOX", kLetter));
  mail_stream* stream = open("INBOX");
  ASSERT_NE(stream, nullptr);
  EXPECT_STREQ(stream->driver->name, "dawz");
  mail_close(stream);
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
  EXPECT_TRUE(dummy_driver.delete_(nullptr, "old.box"));
  EXPECT_FALSE(exists("old.box"));
  EXPECT_FALSE(dummy_driver.delete_(nullptr, "old.box"));
  EXPECT_TRUE(logged("Can't delete mailbox old.box: No such file or directory"));
  EXPECT_FALSE(dummy_driver.create(nullptr, "a.b.c"));
  EXPECT_TRUE(logged("Invalid mailbox name: a.b.c"));
}

TEST_F(Dummy, RenameNeverReplacesAnotherMailbox) {
  write("a.box", "a");
  write("b.box", "b");
  EXPECT_FALSE(dummy_driver.rename(nullptr, "a.box", "b.box"));
  EXPECT_TRUE(logged("Can't rename mailbox a.box: File exists"));
  EXPECT_EQ(read("a.box"), "a");
  EXPECT_EQ(read("b.box"), "b");
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
  write("empty.box", "");
  mail_stream* stream = open("empty.box");
  ASSERT_NE(stream, nullptr);
  stream->driver->list(stream, "*");
  EXPECT_EQ(listed_, (std::vector<std::string>{"work.box", "a.box", "ab.box"}));
  listed_.clear();
  stream->driver->list(stream, "%.box");
  EXPECT_EQ(listed_, std::vector<std::string>{"a.box"});
  mail_close(stream);
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
  EXPECT_STREQ(static_cast<char*>(mail_parameters(nullptr, GET_MAILBOX_EXTENSION, nullptr)), "box");
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
  mail_stream* stream = open("INBOX");
  ASSERT_NE(stream, nullptr);
  EXPECT_DEATH(stream->driver->fetchfast(stream, "1"), "Impossible dummy_fetchfast");
  EXPECT_DEATH(stream->driver->copy(stream, "1", "x"), "Impossible dummy_copy");
  mail_close(stream);
}

}  // namespace
