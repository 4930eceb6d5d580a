#include <gmock/gmock.h>
#include <signal.h>

#include <filesystem>
#include <regex>

#include "tests/support/loopback.h"
#include "tests/support/run_program.h"
#include "tests/support/table.h"

namespace {

using testing::HasSubstr;

// The demo run with a stand-in for kestrel that walks the newcomer's road
// (or fails at once), and what it leaves behind.
struct demo_row {
  std::string name;
  std::vector<std::string> child_arguments;
  int exit_code;  // the stand-in's, passed on by the demo
};

class Demo : public testing::TestWithParam<demo_row> {};

TEST_P(Demo, RunsAndLeavesNothingBehind) {
  const demo_row& row = GetParam();
  std::vector<std::string> arguments{KESTREL_DEMO_SCRIPT, KESTREL_MAIL, KESTREL_DEMO_CHILD};
  arguments.insert(arguments.end(), row.child_arguments.begin(), row.child_arguments.end());
  program_result result = run_program("/bin/bash", arguments);
  EXPECT_EQ(result.exit_code, row.exit_code) << result.out << result.err;
  EXPECT_THAT(result.out, HasSubstr("password: demo"));

  std::smatch found;
  ASSERT_TRUE(std::regex_search(result.out, found,
                                std::regex("IMAP demo@127\\.0\\.0\\.1:(\\d+), SMTP "
                                           "127\\.0\\.0\\.1:(\\d+), in (\\S+)\n")))
      << result.out;
  EXPECT_FALSE(loopback_listening(std::stoi(found[1])));
  EXPECT_FALSE(loopback_listening(std::stoi(found[2])));
  EXPECT_FALSE(std::filesystem::exists(found[3].str())) << found[3];
  ASSERT_TRUE(std::regex_search(result.out, found, std::regex("dovecot pid (\\d+)"))) << result.out;
  EXPECT_NE(::kill(std::stoi(found[1]), 0), 0) << "Dovecot still runs";
}

INSTANTIATE_TEST_SUITE_P(Rows, Demo,
                         testing::Values(demo_row{"FetchReadReplySendFetchBack", {}, 0},
                                         demo_row{
                                             "AFailingProgramStillStopsTheServers", {"fail"}, 3}),
                         row_name());

}  // namespace
