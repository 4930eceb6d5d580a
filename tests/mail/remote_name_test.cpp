#include "mail/remote_name.h"

#include "mail/driver.h"
#include "tests/support/table.h"

struct remote_row {
  std::string name, text;
  bool remote;  // the rest matters only when it is
  std::string host{}, mailbox{}, service{};
  long port = 0;
  bool anonymous = false, bboard = false, debug = false, tls = false, starttls = false;
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
  EXPECT_EQ(parsed.tls, row.tls);
  EXPECT_EQ(parsed.starttls, row.starttls);
}

const std::string kLong1023(1023, 'h');

const remote_row kRemoteNames[] = {
    {"host_only", "{mail.example.cn}", true, "mail.example.cn", "INBOX", "imap"},
    {"bboard_host_only", "*{news.example.cn}", true, "news.example.cn", "general", "imap", 0, false,
     true},
    {"service_and_port", "{host/imap4:143}inbox", true, "host", "inbox", "imap4", 143},
    {"port_then_options", "{Host:993/ANONYMOUS/Debug}Sent", true, "Host", "Sent", "imap", 993, true,
     false, true},
    {"service_assignment", "{h/service=imap2}x", true, "h", "x", "imap2"},
    {"bboard_option", "{h/bboard}", true, "h", "general", "imap", 0, false, true},
    {"tls_on_any_port", "{mail.example.cn:10993/TLS}INBOX", true, "mail.example.cn", "INBOX",
     "imap", 10993, false, false, false, true},
    {"starttls_required", "{h/imap/starttls}", true, "h", "INBOX", "imap", 0, false, false, false,
     false, true},
    {"mailbox_keeps_case_and_braces", "{h}Mail/{odd}", true, "h", "Mail/{odd}", "imap"},
    {"bracketed_address", "{[127.0.0.1]:14300}inbox", true, "[127.0.0.1]", "inbox", "imap", 14300},
    {"longest_host", "{" + kLong1023 + "}", true, kLong1023, "INBOX", "imap"},
    {"port_zero", "{h:0}", false},
    {"two_ports", "{h:143:144}", false},
    {"unknown_word", "{h/ftp}", false},
    {"empty_braces", "{}", false},
    {"no_closing_brace", "{host", false},
    {"no_brace", "INBOX", false},
    {"star_without_brace", "*news", false},
    {"port_junk", "{h:143x}", false},
    {"negative_port", "{h:-1}", false},
    {"port_past_65535", "{h:65536}", false},
    {"huge_port", "{h:99999999999999999999}", false},
    {"second_service", "{h/imap/pop3}", false},
    {"service_assignment_after_service", "{h/imap/service=pop3}", false},
    {"assignment_to_other_word", "{h/user=me}", false},
    {"empty_option", "{h/}", false},
    {"empty_service_value", "{h/service=}", false},
    {"host_too_long", "{" + kLong1023 + "h}", false},
    {"mailbox_too_long", "{h}" + std::string(1024, 'm'), false},
    {"service_too_long", "{h/service=" + std::string(24, 's') + "}", false},
};
INSTANTIATE_TEST_SUITE_P(Rows, ParseRemoteName, testing::ValuesIn(kRemoteNames), row_name());

TEST(CheckRemoteName, BelongsToTheDriverOfItsService) {
  mail_driver imap2{}, nntp{};
  imap2.name = "imap2";
  nntp.name = "nntp";
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
