// kestrel-mail from the outside: arguments in, text and exit codes out.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/support/run_program.h"
#include "tests/support/table.h"

namespace {

program_result kestrel_mail(const std::vector<std::string>& arguments) {
  return run_program(KESTREL_MAIL_PROGRAM, arguments);
}

struct command_row {
  std::string name;
  std::vector<std::string> arguments;
  int exit_code;
  std::string out;
  std::string err;
};

class Commands : public testing::TestWithParam<command_row> {};

TEST_P(Commands, PrintAndExitAsDocumented) {
  const command_row& row = GetParam();
  program_result result = kestrel_mail(row.arguments);
  EXPECT_EQ(result.exit_code, row.exit_code);
  EXPECT_EQ(result.out, row.out);
  EXPECT_EQ(result.err, row.err);
}

const std::string kUsage =
    "usage: kestrel-mail COMMAND [ARGUMENTS] (kestrel-mail --help lists them)\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, Commands,
    testing::Values(
        command_row{"date_internal",
                    {"date", "5-Dec-1996 11:53:20 +0800"},
                    0,
                    " 5-Dec-1996 11:53:20 +0800\nThu Dec  5 11:53:20 1996\n",
                    ""},
        command_row{"date_zone_name",
                    {"date", "Thu, 5-Dec-1996 11:53:20-EST"},
                    0,
                    " 5-Dec-1996 11:53:20 -0500\nThu Dec  5 11:53:20 1996\n",
                    ""},
        command_row{"date_two_digit_year",
                    {"date", "5 dec 96 11:53:20 -0500"},
                    0,
                    " 5-Dec-1996 11:53:20 -0500\nThu Dec  5 11:53:20 1996\n",
                    ""},
        command_row{"date_slashes",
                    {"date", "12/5/1996"},
                    0,
                    " 5-Dec-1996 00:00:00 +0000\nThu Dec  5 00:00:00 1996\n",
                    ""},
        command_row{"date_refused", {"date", "5-Dek-1996"}, 1, "", "invalid date: 5-Dek-1996\n"},
        command_row{"date_zone_after_blank",
                    {"date", "5-Dec-1996 11:53:20 EST"},
                    1,
                    "",
                    "invalid date: 5-Dec-1996 11:53:20 EST\n"},
        command_row{"date_missing_text", {"date"}, 2, "", "usage: kestrel-mail date TEXT\n"},
        command_row{"date_two_texts",
                    {"date", "5-Dec-1996", "x"},
                    2,
                    "",
                    "usage: kestrel-mail date TEXT\n"},
        command_row{"remote_port_and_service",
                    {"remote", "{imap.example.cn/imap4:143}Sent"},
                    0,
                    R"({"host":"imap.example.cn","mailbox":"Sent","service":"imap4","port":143,)"
                    R"("anonymous":false,"bboard":false,"debug":false})"
                    "\n",
                    ""},
        command_row{"remote_bboard",
                    {"remote", "*{news}"},
                    0,
                    R"({"host":"news","mailbox":"general","service":"imap","port":0,)"
                    R"("anonymous":false,"bboard":true,"debug":false})"
                    "\n",
                    ""},
        command_row{
            "remote_refused", {"remote", "{h:0}"}, 1, "", "not a remote specification: {h:0}\n"},
        command_row{
            "remote_plain_name", {"remote", "INBOX"}, 1, "", "not a remote specification: INBOX\n"},
        command_row{"remote_missing_name", {"remote"}, 2, "", "usage: kestrel-mail remote NAME\n"},
        command_row{"no_command", {}, 2, "", kUsage},
        command_row{"unknown_command",
                    {"frobnicate"},
                    2,
                    "",
                    "kestrel-mail: unknown command \"frobnicate\"\n" + kUsage}),
    row_name());

TEST(Help, ListsEveryCommand) {
  program_result result = kestrel_mail({"--help"});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_NE(result.out.find("\n  date TEXT "), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("\n  remote NAME "), std::string::npos) << result.out;
}

TEST(Remote, PrintsValidJsonForEveryField) {
  program_result result = kestrel_mail({"remote", "{[10.0.0.1]:993/anonymous/DEBUG}\"odd\""});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  nlohmann::json parsed = nlohmann::json::parse(result.out);
  EXPECT_EQ(parsed["host"], "[10.0.0.1]");
  EXPECT_EQ(parsed["mailbox"], "\"odd\"");
  EXPECT_EQ(parsed["port"], 993);
  EXPECT_EQ(parsed["anonymous"], true);
  EXPECT_EQ(parsed["debug"], true);
}

}  // namespace
