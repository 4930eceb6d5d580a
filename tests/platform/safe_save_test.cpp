// Saving by writing a new file and renaming it over the old one.

#include "platform/safe_save.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "tests/support/file_text.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/table.h"

namespace fs = std::filesystem;

file_writer writing(std::string bytes) {
  return [bytes = std::move(bytes)](std::FILE* file, std::string& reason) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size()) return true;
    reason = std::string("short write: ") + std::strerror(errno);
    return false;
  };
}

class SafeSave : public testing::Test {
 protected:
  void put_old(const std::string& bytes) {
    std::string reason;
    ASSERT_TRUE(safe_save(file_, writing(bytes), reason)) << reason;
  }
  // Everything in the directory, so that a new file left behind shows.
  std::vector<std::string> names() const {
    std::vector<std::string> result;
    for (const auto& entry : fs::directory_iterator(folder_.path()))
      result.push_back(entry.path().filename().string());
    std::sort(result.begin(), result.end());
    return result;
  }

  scratch_folder folder_;
  std::string file_ = folder_.file("IN.box");
  std::string reason_;
  const std::vector<std::string> only_the_file_{"IN.box"};
};

// A new file gets the usual permissions, a replaced one keeps its own.
TEST_F(SafeSave, Permissions) {
  const mode_t mask = umask(022);
  put_old("letters");
  umask(mask);
  EXPECT_EQ(file_text(file_), "letters");
  EXPECT_EQ(fs::status(file_).permissions(), fs::perms(0644));
  EXPECT_EQ(names(), only_the_file_);
  fs::permissions(file_, fs::perms(0600));
  put_old("new letters");
  EXPECT_EQ(file_text(file_), "new letters");
  EXPECT_EQ(fs::status(file_).permissions(), fs::perms(0600));
}

TEST_F(SafeSave, ALinkIsFollowedAndStaysALink) {
  put_old("old");
  const std::string link = folder_.file("link.box");
  fs::create_symlink("IN.box", link);
  ASSERT_TRUE(safe_save(link, writing("through the link"), reason_)) << reason_;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(file_text(file_), "through the link");
  EXPECT_EQ(names(), (std::vector<std::string>{"IN.box", "link.box"}));
}

TEST_F(SafeSave, AWriterThatFailsLeavesTheOldFile) {
  put_old("old letters");
  EXPECT_FALSE(safe_save(
      file_,
      [](std::FILE* file, std::string& why) {
        std::fputs("half of the new", file);
        why = "the writer gave up";
        return false;
      },
      reason_));
  EXPECT_EQ(reason_, "the writer gave up");
  EXPECT_EQ(file_text(file_), "old letters");
  EXPECT_EQ(names(), only_the_file_);
}

// The file system refuses the bytes part of the way through (a file size
// limit stands in for a full disk).
struct limit_row {
  std::string name;
  rlim_t limit;
};

class WritesFailingPartWay : public SafeSave, public testing::WithParamInterface<limit_row> {};

TEST_P(WritesFailingPartWay, LeaveTheOldFileAndSayWhy) {
  put_old("old letters");
  rlimit old_limit{};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  rlimit limit = old_limit;
  limit.rlim_cur = GetParam().limit;
  sighandler_t old_handler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  const bool saved = safe_save(file_, writing(std::string(1 << 20, 'n')), reason_);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(saved);
  EXPECT_NE(reason_.find("File too large"), std::string::npos) << reason_;
  EXPECT_EQ(file_text(file_), "old letters");
  EXPECT_EQ(names(), only_the_file_);
}

INSTANTIATE_TEST_SUITE_P(Rows, WritesFailingPartWay,
                         testing::Values(limit_row{"nothing", 0}, limit_row{"one_byte", 1},
                                         limit_row{"a_few_blocks", 12345},
                                         limit_row{"most", (1 << 20) - 1}),
                         row_name());

// A missing directory is reported; a directory in the way is not replaced.
TEST_F(SafeSave, WhatStandsInTheWay) {
  EXPECT_FALSE(safe_save(folder_.file("no/IN.box"), writing("x"), reason_));
  EXPECT_EQ(reason_, "cannot create a new file beside it: No such file or directory");
  fs::create_directory(file_);
  EXPECT_FALSE(safe_save(file_, writing("x"), reason_));
  EXPECT_EQ(reason_.rfind("cannot put the new file in place of the old one", 0), 0u) << reason_;
  EXPECT_TRUE(fs::is_directory(file_));
  EXPECT_EQ(names(), only_the_file_);
}

TEST_F(SafeSave, LeftoversOfKilledSavesGoButOneBeingWrittenStays) {
  put_old("old");
  for (const char* name :
       {".IN.box.Ab3xYz", ".IN.box.held00", ".IN.box.toolong1", ".OTHER.box.Ab3xYz"})
    std::ofstream(folder_.file(name)) << "half";
  // Another save still writing its new file holds it locked.
  int held = open(folder_.file(".IN.box.held00").c_str(), O_RDONLY);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  put_old("new");
  close(held);
  EXPECT_EQ(names(), (std::vector<std::string>{".IN.box.held00", ".IN.box.toolong1",
                                               ".OTHER.box.Ab3xYz", "IN.box"}));
  EXPECT_EQ(file_text(file_), "new");
}
