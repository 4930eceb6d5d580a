// A write that fails part-way leaves the destination as it was: each append
// and copy runs in a child process whose file size limit stops it in the
// middle of the message.

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include "mail/cache.h"
#include "tests/mail/local_fixture.h"
#include "tests/support/table.h"

namespace {

const std::string kSmall = "Subject: small\n\nsmall body\n";

std::string big_message() {
  std::string text = "Subject: big\n\n";
  for (int i = 0; i < 4000; ++i)
    text += "line " + std::to_string(i) + " of a letter too big for the limit\n";
  return text;
}

struct rollback_row {
  std::string name;
  std::string format;     // "tenexdos", "dawz" or "bezrkdos"
  std::string operation;  // "append" or "copy"
  std::string report;     // what the child must have logged
};

class Rollback : public LocalMailboxes, public testing::WithParamInterface<rollback_row> {
 protected:
  mail_driver& driver() const {
    const std::string& format = GetParam().format;
    return format == "tenexdos" ? tenexdos_driver
           : format == "dawz"   ? dawz_driver
                                : bezrkdos_driver;
  }
  // A mailbox of the format holding one small message, and its size.
  std::uint64_t fill(const std::string& name, const std::string& message) {
    write(name, "");
    EXPECT_TRUE(append(driver(), name, message, std::nullopt, "5-Dec-1996 11:53:20 +0800"));
    return read(name).size();
  }
};

TEST_P(Rollback, TheDestinationIsLeftAsItWas) {
  const rollback_row& row = GetParam();
  std::uint64_t size = fill("dest", kSmall);
  if (row.operation == "copy") fill("source", big_message());
  std::string before = read("dest");

  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Writes past the limit now fail with EFBIG instead of ending the process.
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{size + 3000, size + 3000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    bool done;
    if (row.operation == "append") {
      done = append(driver(), "dest", big_message());
    } else {
      mail_stream* stream = open("source");
      done = stream && stream->driver->copy(stream, "1", "dest");
    }
    ::_exit(done ? 2 : logged(row.report) ? 0 : 3);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "2: the write did not fail; 3: not reported as expected";
  EXPECT_EQ(read("dest"), before);

  // The mailbox still opens with its one message.
  mail_stream* stream = open("dest");
  ASSERT_NE(stream, nullptr) << testing::PrintToString(texts());
  EXPECT_EQ(stream->nmsgs, 1u);
  mail_close(stream);
}

INSTANTIATE_TEST_SUITE_P(Rows, Rollback,
                         testing::Values(rollback_row{"tenexdos_append", "tenexdos", "append",
                                                      "Message append failed: File too large"},
                                         rollback_row{"dawz_append", "dawz", "append",
                                                      "Message append failed: File too large"},
                                         rollback_row{"bezrkdos_append", "bezrkdos", "append",
                                                      "Message append failed: File too large"},
                                         rollback_row{"tenexdos_copy", "tenexdos", "copy",
                                                      "Unable to write message: File too large"},
                                         rollback_row{"dawz_copy", "dawz", "copy",
                                                      "Unable to write message: File too large"},
                                         rollback_row{"bezrkdos_copy", "bezrkdos", "copy",
                                                      "Unable to write message: File too large"}),
                         row_name());

}  // namespace
