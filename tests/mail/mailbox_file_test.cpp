#include "mail/mailbox_file.h"

#include <stdlib.h>

#include "mail/parameters.h"
#include "platform/environment.h"
#include "tests/mail/test_driver.h"
#include "tests/support/table.h"

struct file_row {
  std::string name;
  std::string extension;  // empty: none configured
  std::string mailbox;
  std::optional<std::string> file;
};

class MailboxFile : public testing::TestWithParam<file_row> {};

TEST_P(MailboxFile, ResolvesTheName) {
  link_memory_drivers();
  memory_extension() = GetParam().extension;
  char home[] = "C:\\MAIL";
  mail_parameters(nullptr, SET_HOME_DIR, home);
  EXPECT_EQ(mailbox_file(GetParam().mailbox), GetParam().file);
}

const file_row kFiles[] = {
    {"relative_name", "", "in.box", "C:\\MAIL\\IN.BOX"},
    {"no_dot_no_extension", "", "Inbox", "C:\\MAIL\\INBOX"},
    {"two_dots", "", "a.b.c", std::nullopt},
    {"drive_relative", "", "D:mail.box", "D:MAIL.BOX"},
    {"rooted", "", "\\Users\\li\\Trash.box", "\\USERS\\LI\\TRASH.BOX"},
    {"dots_in_directories_are_fine", "", "\\a.b\\c.d\\box", "\\A.B\\C.D\\BOX"},
    {"host_path", "", "/tmp/Test.mbox", "/TMP/TEST.MBOX"},
    {"extension_added", "box", "letters", "C:\\MAIL\\LETTERS.BOX"},
    {"extension_with_dot_refused", "box", "letters.txt", std::nullopt},
    {"extension_on_rooted_name", "mbx", "\\x\\y", "\\X\\Y.MBX"},
};
INSTANTIATE_TEST_SUITE_P(Rows, MailboxFile, testing::ValuesIn(kFiles), row_name());

TEST(MailboxFileWithoutHome, APlainNameLandsAtTheRoot) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        unsetenv("HOME");
        std::exit(mailbox_file("in.box") == "\\IN.BOX" ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}
