// A write that fails part-way leaves the destination as it was: each append
// and copy runs in a child process whose file size limit stops it in the
// middle of the message.

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/mail/local_fixture.h"

const std::string kSmall = "Subject: small\n\nsmall body\n";

std::string big_message() {
  std::string text = "Subject: big\n\n";
  for (int i = 0; i < 4000; ++i)
    text += "line " + std::to_string(i) + " of a letter too big for the limit\n";
  return text;
}

struct rollback_row {
  std::string name;
  mail_driver* driver;
  bool copy;           // else append
  std::string report;  // what the child must have logged
};

class Rollback : public LocalMailboxes, public testing::WithParamInterface<rollback_row> {
 protected:
  // A mailbox of the format holding one message, and its size.
  std::uint64_t fill(const std::string& name, const std::string& message) {
    write(name, "");
    EXPECT_TRUE(
        append(*GetParam().driver, name, message, std::nullopt, "5-Dec-1996 11:53:20 +0800"));
    return read(name).size();
  }
};

TEST_P(Rollback, TheDestinationIsLeftAsItWas) {
  const rollback_row& row = GetParam();
  std::uint64_t size = fill("dest", kSmall);
  if (row.copy) fill("source", big_message());
  std::string before = read("dest");

  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Writes past the limit now fail with EFBIG instead of ending the process.
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{size + 3000, size + 3000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    bool done = row.copy ? opens("source") && stream_->driver->copy(stream_, "1", "dest")
                         : append(*row.driver, "dest", big_message());
    ::_exit(done ? 2 : logged(row.report) ? 0 : 3);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "2: the write did not fail; 3: not reported as expected";
  EXPECT_EQ(read("dest"), before);
  ASSERT_TRUE(opens("dest")) << "the mailbox still opens with its one message";
  EXPECT_EQ(stream_->nmsgs, 1u);
}

const std::string kAppendFailed = "Message append failed: File too large";
const std::string kCopyFailed = "Unable to write message: File too large";

const rollback_row kRollbacks[] = {
    {"tenexdos_append", &tenexdos_driver, false, kAppendFailed},
    {"dawz_append", &dawz_driver, false, kAppendFailed},
    {"bezrkdos_append", &bezrkdos_driver, false, kAppendFailed},
    {"tenexdos_copy", &tenexdos_driver, true, kCopyFailed},
    {"dawz_copy", &dawz_driver, true, kCopyFailed},
    {"bezrkdos_copy", &bezrkdos_driver, true, kCopyFailed},
};
INSTANTIATE_TEST_SUITE_P(Rows, Rollback, testing::ValuesIn(kRollbacks), row_name());
