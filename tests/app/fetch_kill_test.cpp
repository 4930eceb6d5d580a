// No letter is lost whatever stops a fetch with delete-on-server: the program
// killed at any moment, or the connection cut at any byte. Afterwards every
// letter is on the server, or in In's file, or both.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <thread>

#include "model/box_file.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/fault_proxy.h"
#include "tests/support/file_text.h"
#include "tests/support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using clock_type = std::chrono::steady_clock;

constexpr int kLettersPerTrial = 6;

class FetchKill : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.running()) << server_.reason();
    CVelmarDocData in;
    in.mailbox_name = "IN";
    std::string reason;
    ASSERT_TRUE(box_file_save(in_, in, reason)) << reason;
  }

  void write_profile(int port) {
    std::ofstream(folder_.file("KESTREL.INI"))
        << "[Configuration]\nInPath=" << in_ << "\nIMAPAccount=tester@127.0.0.1:" << port
        << "\n[Misc]\nExpungeServer=1\nAllowPlainLogin=1\n";
  }

  // Delivers this trial's letters; their subjects.
  std::set<std::string> deliver(int trial) {
    std::set<std::string> subjects;
    for (int i = 0; i < kLettersPerTrial; ++i) {
      std::string subject = "trial " + std::to_string(trial) + " letter " + std::to_string(i);
      // Some weight, so that a kill can fall inside the transfer.
      server_.deliver("tester", "From: w@pku.edu.cn\nSubject: " + subject + "\n\n" +
                                    std::string(40000, 'x') + "\n");
      subjects.insert(subject);
    }
    return subjects;
  }

  // Starts the program's fetch; kills it after the delay unless it ended.
  // Its exit status, or -1 when it was killed.
  int run_child(std::chrono::milliseconds kill_after) {
    pid_t child = fork();
    if (child == 0) {
      execl(KESTREL_FETCH_CHILD, KESTREL_FETCH_CHILD, folder_.file("KESTREL.INI").c_str(), "secret",
            static_cast<char*>(nullptr));
      _exit(127);
    }
    auto deadline = clock_type::now() + kill_after;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
      if (clock_type::now() >= deadline) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        return -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // The subjects of the letters on the server and in In's file; In's file
  // must always be whole.
  std::multiset<std::string> everywhere() {
    std::multiset<std::string> found;
    std::string reason;
    std::unique_ptr<CVelmarDocData> in = box_file_open(in_, reason);
    EXPECT_TRUE(in) << "In's file is damaged: " << reason;
    if (in)
      for (const auto& letter : in->letters)
        found.insert(letter->envelope.subject);
    for (const char* sub : {"cur", "new"}) {
      std::error_code error;
      for (const auto& entry : fs::directory_iterator(maildir_ / sub, error)) {
        std::string text = file_text(entry.path());
        std::size_t at = text.find("Subject: ");
        if (at != std::string::npos)
          found.insert(text.substr(at + 9, text.find('\r', at) - at - 9));
      }
    }
    return found;
  }

  void expect_kept(const std::set<std::string>& subjects, const std::string& trial) {
    std::multiset<std::string> found = everywhere();
    for (const std::string& subject : subjects)
      EXPECT_GT(found.count(subject), 0u) << subject << " lost in " << trial;
  }

  dovecot_server server_;
  scratch_folder folder_;
  std::string in_ = folder_.file("In.box");
  fs::path maildir_ = fs::path(server_.inbox_file("tester")).parent_path();
  std::mt19937 random_{20261206};
};

TEST_F(FetchKill, KilledAtAnyMomentNoLetterIsLost) {
  write_profile(server_.port());
  // How long a whole fetch takes here, to spread the kills over it.
  std::set<std::string> first = deliver(0);
  auto started = clock_type::now();
  ASSERT_EQ(run_child(std::chrono::seconds(60)), 0);
  auto whole = std::chrono::duration_cast<std::chrono::milliseconds>(clock_type::now() - started);
  expect_kept(first, "the whole fetch");
  int killed = 0;
  for (int trial = 1; trial <= 30; ++trial) {
    std::set<std::string> subjects = deliver(trial);
    std::uniform_int_distribution<long> moment(0, whole.count());
    if (run_child(std::chrono::milliseconds(moment(random_))) < 0) ++killed;
    expect_kept(subjects, "trial " + std::to_string(trial));
  }
  EXPECT_GT(killed, 10) << "the kills fell inside the fetch";
  // A kill during a save leaves its new file; the next save takes it away.
  ASSERT_EQ(run_child(std::chrono::seconds(60)), 0);
  for (const auto& entry : fs::directory_iterator(folder_.path()))
    EXPECT_EQ(entry.path().filename().string().rfind(".In.box.", 0), std::string::npos)
        << entry.path();
  EXPECT_EQ(server_.inbox_count("tester"), 0u) << "the last fetch took everything";
}

TEST_F(FetchKill, ACutAtAnyByteLosesNoLetter) {
  for (int trial = 1; trial <= 24; ++trial) {
    std::set<std::string> subjects = deliver(trial);
    auto direction = trial % 2 ? fault_proxy::toward_client : fault_proxy::toward_server;
    std::uniform_int_distribution<long> byte(
        0, direction == fault_proxy::toward_client ? kLettersPerTrial * 40000 * 2 : 2000);
    fault_proxy proxy(server_.port(), direction, byte(random_));
    write_profile(proxy.port());
    run_child(std::chrono::seconds(60));
    expect_kept(subjects, "trial " + std::to_string(trial));
  }
}

}  // namespace
