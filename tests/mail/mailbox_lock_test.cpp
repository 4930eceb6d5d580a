// Two programs on one mailbox file: a second process appends while the first
// holds the mailbox open, or holds the file's lock while the first appends.

#include <sys/file.h>
#include <sys/wait.h>

#include <functional>

#include "mail/cache.h"
#include "mail/fields.h"
#include "mail/setflag_expunge.h"
#include "tests/mail/local_fixture.h"
#include "tests/support/table.h"

namespace {

const std::string kFirst = "Subject: first\n\none\n";
const std::string kSecond = "Subject: second\n\ntwo\n";
const std::string kOther = "Subject: other\n\nfrom the other program\n";

class MailboxLock : public LocalMailboxes {
 protected:
  // Runs the work in a child process and waits for it; its exit code.
  static int in_other_process(const std::function<bool()>& work) {
    pid_t child = ::fork();
    if (child == 0) ::_exit(work() ? 0 : 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // The subjects of the letters, flagged ones marked with "*".
  std::vector<std::string> subjects(const std::string& name) {
    std::vector<std::string> found;
    mail_stream* stream = mail_open(nullptr, name, OPEN_READONLY);
    if (!stream) return found;
    for (std::uint32_t i = 1; i <= stream->nmsgs; ++i)
      found.push_back(mail_subject_field(stream, i, 10).c_str() +
                      std::string(mail_elt(stream, i)->flagged ? "*" : ""));
    mail_close(stream);
    return found;
  }
};

struct late_row {
  std::string name;
  std::function<void(mail_stream*)> after_the_append;
  std::vector<std::string> subjects;
};

class AppendedMeanwhile : public MailboxLock, public testing::WithParamInterface<late_row> {};

TEST_P(AppendedMeanwhile, IsNeitherCutOffNorOverwritten) {
  write("mail.box", tenex_message(kFirst) + tenex_message(kSecond));
  mail_stream* stream = mail_open(nullptr, "mail.box", 0);
  ASSERT_NE(stream, nullptr);
  ASSERT_EQ(stream->nmsgs, 2u);
  mail_setflag(stream, "1", "\\Deleted");
  ASSERT_EQ(in_other_process([this] { return append(tenexdos_driver, "mail.box", kOther); }), 0);
  GetParam().after_the_append(stream);
  mail_close(stream);
  EXPECT_EQ(subjects("mail.box"), GetParam().subjects);
}

const late_row kAppendedMeanwhileRows[] = {
    {"expunge", [](mail_stream* stream) { mail_expunge(stream); }, {"second", "other"}},
    {"flags_of_the_new_letter",
     [](mail_stream* stream) { mail_setflag(stream, "3", "\\Flagged"); },
     {"first", "second", "other*"}},
};
INSTANTIATE_TEST_SUITE_P(Rows, AppendedMeanwhile, testing::ValuesIn(kAppendedMeanwhileRows),
                         row_name());

TEST_F(MailboxLock, AnAppendWaitsWhileAnotherProgramWrites) {
  write("mail.box", tenex_message(kFirst));
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  std::string path_name = path("mail.box");
  pid_t child = ::fork();
  if (child == 0) {
    // The other program writes its letter in two halves under the lock.
    int fd = ::open(path_name.c_str(), O_WRONLY | O_APPEND);
    std::string letter = tenex_message(kOther);
    bool ok = fd >= 0 && ::flock(fd, LOCK_EX) == 0 && ::write(fd, letter.data(), 10) == 10 &&
              ::write(ready[1], "x", 1) == 1;
    ::usleep(300000);
    ok = ok && ::write(fd, letter.data() + 10, letter.size() - 10) ==
                   static_cast<ssize_t>(letter.size() - 10);
    ::_exit(ok ? 0 : 1);
  }
  char signal;
  ASSERT_EQ(::read(ready[0], &signal, 1), 1);
  EXPECT_TRUE(append(tenexdos_driver, "mail.box", kSecond));
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  ::close(ready[0]);
  ::close(ready[1]);
  EXPECT_EQ(subjects("mail.box"), (std::vector<std::string>{"first", "other", "second"}));
}

}  // namespace
