// kestrel-mail from the outside: arguments in, text and exit codes out.

#include "tests/support/kestrel_mail.h"
#include "tests/support/table.h"

namespace {

using testing::AllOf;
using testing::HasSubstr;

class Commands : public testing::TestWithParam<cli_row> {};

TEST_P(Commands, PrintAndExitAsDocumented) {
  expect_runs({GetParam()});
}

const std::string kUsage =
    "usage: kestrel-mail COMMAND [ARGUMENTS] (kestrel-mail --help lists them)\n";
const std::string kDateUsage = "usage: kestrel-mail date TEXT\n";
const std::string kThursday = "Thu Dec  5 11:53:20 1996\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, Commands,
    testing::Values(
        cli_row{"date_internal", args("date", "5-Dec-1996 11:53:20 +0800"), 0,
                " 5-Dec-1996 11:53:20 +0800\n" + kThursday, ""},
        cli_row{"date_zone_name", args("date", "Thu, 5-Dec-1996 11:53:20-EST"), 0,
                " 5-Dec-1996 11:53:20 -0500\n" + kThursday, ""},
        cli_row{"date_two_digit_year", args("date", "5 dec 96 11:53:20 -0500"), 0,
                " 5-Dec-1996 11:53:20 -0500\n" + kThursday, ""},
        cli_row{"date_slashes", args("date", "12/5/1996"), 0,
                " 5-Dec-1996 00:00:00 +0000\nThu Dec  5 00:00:00 1996\n", ""},
        cli_row{"date_refused", args("date", "5-Dek-1996"), 1, "", "invalid date: 5-Dek-1996\n"},
        cli_row{"date_zone_after_blank", args("date", "5-Dec-1996 11:53:20 EST"), 1, "",
                "invalid date: 5-Dec-1996 11:53:20 EST\n"},
        cli_row{"date_missing_text", args("date"), 2, "", kDateUsage},
        cli_row{"date_two_texts", args("date", "5-Dec-1996", "x"), 2, "", kDateUsage},
        cli_row{"remote_port_and_service", args("remote", "{imap.example.cn/imap4:143}Sent"), 0,
                R"({"host":"imap.example.cn","mailbox":"Sent","service":"imap4","port":143,)"
                R"("anonymous":false,"bboard":false,"debug":false,"tls":false,"starttls":false})"
                "\n",
                ""},
        cli_row{"remote_bboard", args("remote", "*{news}"), 0,
                R"({"host":"news","mailbox":"general","service":"imap","port":0,)"
                R"("anonymous":false,"bboard":true,"debug":false,"tls":false,"starttls":false})"
                "\n",
                ""},
        // Names that need quoting in JSON come out as valid JSON.
        cli_row{"remote_every_field", args("remote", "{[10.0.0.1]:993/anonymous/DEBUG/tls}\"odd\""),
                0,
                json_with(R"({"host":"[10.0.0.1]","mailbox":"\"odd\"","port":993,)"
                          R"("anonymous":true,"debug":true,"tls":true})")},
        cli_row{"remote_refused", args("remote", "{h:0}"), 1, "",
                "not a remote mailbox name: {h:0}\n"},
        cli_row{"remote_plain_name", args("remote", "INBOX"), 1, "",
                "not a remote mailbox name: INBOX\n"},
        cli_row{"remote_missing_name", args("remote"), 2, "", "usage: kestrel-mail remote NAME\n"},
        cli_row{"no_command", args(), 2, "", kUsage},
        cli_row{"unknown_command", args("frobnicate"), 2, "",
                "kestrel-mail: unknown command \"frobnicate\"\n" + kUsage},
        cli_row{"help_lists_every_command", args("--help"), 0,
                AllOf(HasSubstr("\n  date TEXT "), HasSubstr("\n  remote NAME "),
                      HasSubstr("\n  convert gb-to-iso2022cn|"),
                      HasSubstr("\n  glyph hzk16|kcm14|cns1|cns2 CODE"),
                      HasSubstr("\n  render gb|big5|cns|plain [FILE] -o OUT.pbm"))}),
    row_name());

}  // namespace
