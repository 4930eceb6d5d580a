#include "mail/fields.h"

#include <gtest/gtest.h>

#include "mail/open_close.h"
#include "mail/stream.h"
#include "tests/mail/test_driver.h"
#include "tests/support/table.h"

namespace {

memory_message message(std::string personal, std::string mailbox, std::string host,
                       std::string subject) {
  return memory_message{
      std::move(personal), std::move(mailbox), std::move(host), std::move(subject), "", ""};
}

struct field_row {
  std::string name;
  memory_message message;
  std::size_t width;
  std::string from;
  std::string subject;
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

INSTANTIATE_TEST_SUITE_P(
    Rows, Fields,
    testing::Values(field_row{"personal_name", message("Wang Li", "wang", "pku.edu.cn", "Hello"),
                              10, "Wang Li   ", "Hello"},
                    field_row{"address_without_name", message("", "wang", "pku.edu.cn", "Hi"), 20,
                              "wang@pku.edu.cn     ", "Hi"},
                    field_row{"cut_to_width",
                              message("", "wang", "pku.edu.cn", "A long subject line"), 6, "wang@p",
                              "A long"},
                    field_row{"address_without_host_is_skipped",
                              message("Group", "friends", "", "x"), 4, "    ", "x"},
                    field_row{"no_from_no_subject", message("", "", "", ""), 3, "   ", " "},
                    field_row{"chinese_bytes_kept",
                              message("\xCD\xF5\xC0\xF6", "wang", "h", "\xC4\xE3\xBA\xC3"), 6,
                              "\xCD\xF5\xC0\xF6  ", "\xC4\xE3\xBA\xC3"},
                    field_row{"zero_width", message("Wang", "wang", "h", "S"), 0, "", ""}),
    row_name());

}  // namespace
