#include "mail/remote_name.h"

#include <gtest/gtest.h>

#include "mail/driver.h"
#include "tests/support/table.h"

namespace {

struct remote_row {
  std::string name;
  std::string text;
  bool remote;
  std::string host, mailbox, service;
  long port;
  bool anonymous, bboard, debug;
};

class ParseRemoteName : public testing::TestWithParam<remote_row> {};

TEST_P(ParseRemoteName, SplitsTheSpecification) {
  const remote_row& row = GetParam();
  remote_name parsed;
  ASSERT_EQ(mail_parse_remote_name(row.text, parsed), row.remote);
  if (!row.remote) return;
  EXPECT_EQ(parsed.host, row.host);
  EXPECT_EQ(parsed.mailbox, row.mailbox);
  EXPECT_EQ(parsed.service, row.service);
  EXPECT_EQ(parsed.port, row.port);
  EXPECT_EQ(parsed.anonymous, row.anonymous);
  EXPECT_EQ(parsed.bboard, row.bboard);
  EXPECT_EQ(parsed.debug, row.debug);
}

const std::string kLong1023(1023, 'h');

remote_row refused(std::string name, std::string text) {
  return remote_row{std::move(name), std::move(text), false, "", "", "", 0, false, false, false};
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseRemoteName,
    testing::Values(remote_row{"host_only", "{mail.example.cn}", true, "mail.example.cn", "INBOX",
                               "imap", 0, false, false, false},
                    remote_row{"bboard_host_only", "*{news.example.cn}", true, "news.example.cn",
                               "general", "imap", 0, false, true, false},
                    remote_row{"service_and_port", "{host/imap4:143}inbox", true, "host", "inbox",
                               "imap4", 143, false, false, false},
                    remote_row{"port_then_options", "{Host:993/ANONYMOUS/Debug}Sent", true, "Host",
                               "Sent", "imap", 993, true, false, true},
                    remote_row{"service_assignment", "{h/service=imap2}x", true, "h", "x", "imap2",
                               0, false, false, false},
                    remote_row{"bboard_option", "{h/bboard}", true, "h", "general", "imap", 0,
                               false, true, false},
                    remote_row{"mailbox_keeps_case_and_braces", "{h}Mail/{odd}", true, "h",
                               "Mail/{odd}", "imap", 0, false, false, false},
                    remote_row{"bracketed_address", "{[127.0.0.1]:14300}inbox", true, "[127.0.0.1]",
                               "inbox", "imap", 14300, false, false, false},
                    remote_row{"longest_host", "{" + kLong1023 + "}", true, kLong1023, "INBOX",
                               "imap", 0, false, false, false},
                    refused("port_zero", "{h:0}"), refused("two_ports", "{h:143:144}"),
                    refused("unknown_word", "{h/ftp}"), refused("empty_braces", "{}"),
                    refused("no_closing_brace", "{host"), refused("no_brace", "INBOX"),
                    refused("star_without_brace", "*news"), refused("port_junk", "{h:143x}"),
                    refused("negative_port", "{h:-1}"), refused("port_past_65535", "{h:65536}"),
                    refused("huge_port", "{h:99999999999999999999}"),
                    refused("second_service", "{h/imap/pop3}"),
                    refused("service_assignment_after_service", "{h/imap/service=pop3}"),
                    refused("assignment_to_other_word", "{h/user=me}"),
                    refused("empty_option", "{h/}"), refused("empty_service_value", "{h/service=}"),
                    refused("host_too_long", "{" + kLong1023 + "h}"),
                    refused("mailbox_too_long", "{h}" + std::string(1024, 'm')),
                    refused("service_too_long", "{h/service=" + std::string(24, 's') + "}")),
    row_name());

mail_driver named(const char* name) {
  mail_driver driver{};
  driver.name = name;
  return driver;
}

TEST(CheckRemoteName, BelongsToTheDriverOfItsService) {
  mail_driver imap2 = named("imap2");
  mail_driver nntp = named("nntp");
  std::string host, mailbox;
  EXPECT_EQ(mail_check_remote_name("{h}Sent", &imap2, &host, &mailbox), &imap2);
  EXPECT_EQ(host, "h");
  EXPECT_EQ(mailbox, "Sent");
  EXPECT_EQ(mail_check_remote_name("{h/imap2}", &imap2), &imap2);
  EXPECT_EQ(mail_check_remote_name("{h/imap4}", &imap2), nullptr);
  EXPECT_EQ(mail_check_remote_name("{h/pop3}", &imap2), nullptr);
  EXPECT_EQ(mail_check_remote_name("{h}", &nntp), nullptr);
  EXPECT_EQ(mail_check_remote_name("{h/nntp}", &nntp), &nntp);
  EXPECT_EQ(mail_check_remote_name("INBOX", &imap2), nullptr);
}

}  // namespace
