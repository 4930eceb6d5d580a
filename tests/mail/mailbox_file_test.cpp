#include "mail/mailbox_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "mail/parameters.h"
#include "platform/environment.h"
#include "tests/mail/test_driver.h"
#include "tests/support/table.h"

namespace {

struct file_row {
  std::string name;
  std::string extension;  // empty: none configured
  std::string mailbox;
  std::optional<std::string> file;
};

class MailboxFile : public testing::TestWithParam<file_row> {};

TEST_P(MailboxFile, ResolvesTheName) {
  const file_row& row = GetParam();
  link_memory_drivers();
  memory_extension() = row.extension;
  char home[] = "C:\\MAIL";
  mail_parameters(nullptr, SET_HOME_DIR, home);
  EXPECT_EQ(mailbox_file(row.mailbox), row.file);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MailboxFile,
    testing::Values(file_row{"relative_name", "", "in.box", "C:\\MAIL\\IN.BOX"},
                    file_row{"no_dot_no_extension", "", "Inbox", "C:\\MAIL\\INBOX"},
                    file_row{"two_dots", "", "a.b.c", std::nullopt},
                    file_row{"drive_relative", "", "D:mail.box", "D:MAIL.BOX"},
                    file_row{"rooted", "", "\\Users\\li\\Trash.box", "\\USERS\\LI\\TRASH.BOX"},
                    file_row{"dots_in_directories_are_fine", "", "\\a.b\\c.d\\box",
                             "\\A.B\\C.D\\BOX"},
                    file_row{"host_path", "", "/tmp/Test.mbox", "/TMP/TEST.MBOX"},
                    file_row{"extension_added", "box", "letters", "C:\\MAIL\\LETTERS.BOX"},
                    file_row{"extension_with_dot_refused", "box", "letters.txt", std::nullopt},
                    file_row{"extension_on_rooted_name", "mbx", "\\x\\y", "\\X\\Y.MBX"}),
    row_name());

TEST(MailboxFileWithoutHome, APlainNameLandsAtTheRoot) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        unsetenv("HOME");
        std::exit(mailbox_file("in.box") == "\\IN.BOX" ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
