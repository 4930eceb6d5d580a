#include "mail/fields.h"

#include "tests/mail/test_driver.h"
#include "tests/support/table.h"

struct field_row {
  std::string name;
  memory_message message;  // from personal, mailbox and host, subject
  std::size_t width;
  std::string from, subject;
};

class Fields : public testing::TestWithParam<field_row> {};

TEST_P(Fields, AreCutAndPadded) {
  const field_row& row = GetParam();
  link_memory_drivers();
  memory_mailboxes()["mem:in"].messages.push_back(row.message);
  mail_stream* stream = mail_open(nullptr, "mem:in", 0);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(mail_from_field(stream, 1, row.width), row.from);
  EXPECT_EQ(mail_subject_field(stream, 1, row.width), row.subject);
  mail_close(stream);
}

const field_row kFields[] = {
    {"personal_name", {"Wang Li", "wang", "pku.edu.cn", "Hello"}, 10, "Wang Li   ", "Hello"},
    {"address_without_name", {"", "wang", "pku.edu.cn", "Hi"}, 20, "wang@pku.edu.cn     ", "Hi"},
    {"cut_to_width", {"", "wang", "pku.edu.cn", "A long subject line"}, 6, "wang@p", "A long"},
    {"address_without_host_is_skipped", {"Group", "friends", "", "x"}, 4, "    ", "x"},
    {"no_from_no_subject", {}, 3, "   ", " "},
    {"chinese_bytes_kept",
     {"\xCD\xF5\xC0\xF6", "wang", "h", "\xC4\xE3\xBA\xC3"},
     6,
     "\xCD\xF5\xC0\xF6  ",
     "\xC4\xE3\xBA\xC3"},
    {"zero_width", {"Wang", "wang", "h", "S"}, 0, "", ""},
};
INSTANTIATE_TEST_SUITE_P(Rows, Fields, testing::ValuesIn(kFields), row_name());
