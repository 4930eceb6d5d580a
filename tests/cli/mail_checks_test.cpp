// kestrel-mail checks what the user gives before the library sees it: message
// numbers, empty mailboxes, the time-out; and a silent server times out.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/run_program.h"
#include "tests/support/script_server.h"
#include "tests/support/table.h"

namespace {

using strings = std::vector<std::string>;

namespace fs = std::filesystem;

const std::string kTwoLetters =
    " 5-Dec-1996 11:53:20 +0800,16;000000000000\nSubject: one\n\n1\n"
    " 5-Dec-1996 11:53:20 +0800,16;000000000000\nSubject: two\n\n2\n";

class MailChecks : public testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    home_ =
        "/tmp/kestrel_cli_checks_" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
    fs::remove_all(home_);
    fs::create_directory(home_);
    ::setenv("HOME", home_.c_str(), 1);
    std::ofstream(home_ + "/EMPTY.BOX") << "";
    std::ofstream(home_ + "/TWO.BOX", std::ios::binary) << kTwoLetters;
  }
  void TearDown() override { fs::remove_all(home_); }

  std::string home_;
};

struct check_row {
  std::string name;
  std::vector<std::string> arguments;
  int exit_code;
  std::string error;
};

class Refused : public MailChecks, public testing::WithParamInterface<check_row> {};

TEST_P(Refused, WithAClearErrorAndNoFatalStop) {
  program_result result = run_program(KESTREL_MAIL_PROGRAM, GetParam().arguments);
  EXPECT_EQ(result.exit_code, GetParam().exit_code);
  EXPECT_NE(result.err.find(GetParam().error), std::string::npos) << result.err;
  std::stringstream kept;
  kept << std::ifstream(home_ + "/TWO.BOX", std::ios::binary).rdbuf();
  EXPECT_EQ(kept.str(), kTwoLetters) << "nothing changed";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Refused,
    testing::Values(
        check_row{"flag_in_an_empty_mailbox", strings{"flag", "empty.box", "1", "\\Seen"}, 1,
                  "kestrel-mail: empty.box holds no messages"},
        check_row{"flag_in_an_inbox_without_a_file", strings{"flag", "INBOX", "1", "\\Seen"}, 1,
                  "kestrel-mail: INBOX holds no messages"},
        check_row{"flag_past_the_last_message", strings{"flag", "two.box", "2:5", "\\Seen"}, 1,
                  "error: Sequence range invalid"},
        check_row{"copy_from_an_empty_mailbox", strings{"copy", "empty.box", "1", "two.box"}, 1,
                  "kestrel-mail: empty.box holds no messages"},
        check_row{"flag_in_an_unknown_mailbox", strings{"flag", "nothere.box", "1", "\\Seen"}, 1,
                  "kestrel-mail: cannot open nothere.box"},
        check_row{"a_time_out_that_is_no_number", strings{"ls", "two.box", "--timeout", "soon"}, 2,
                  "kestrel-mail: --timeout takes a whole number of seconds, not soon"}),
    row_name());

TEST_F(MailChecks, ASilentServerTimesOut) {
  script_server peer({script_server::pause(4000)});
  ::setenv("KESTREL_PASSWORD", "secret", 1);
  auto began = std::chrono::steady_clock::now();
  program_result result = run_program(
      KESTREL_MAIL_PROGRAM, {"ls", "{127.0.0.1:" + std::to_string(peer.port()) + "}INBOX", "--user",
                             "li", "--timeout", "1"});
  EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(3));
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.err.find("No answer from 127.0.0.1 for 1 seconds"), std::string::npos)
      << result.err;
}

}  // namespace
