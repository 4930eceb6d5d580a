#include "platform/profile_file.h"

#include <stdlib.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "tests/support/file_text.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/table.h"

namespace fs = std::filesystem;

class ProfileFile : public testing::Test {
 protected:
  // Loads the profile from KESTREL.INI holding the text.
  void load(const std::string& text) {
    std::ofstream(file_, std::ios::binary) << text;
    ASSERT_TRUE(profile_.load(file_, reason_)) << reason_;
  }

  scratch_folder folder_;
  std::string file_ = folder_.file("KESTREL.INI");
  profile_file profile_;
  std::string reason_;
};

TEST_F(ProfileFile, AMissingFileIsAnEmptyProfile) {
  ASSERT_TRUE(profile_.load(folder_.file("none.ini"), reason_));
  EXPECT_EQ(profile_.get("Configuration", "HZOS"), std::nullopt);
  EXPECT_EQ(profile_.get_int("Configuration", "CheckForMailEvery", 10), 10);
  EXPECT_EQ(profile_.get_string("Configuration", "InPath"), "");
}

// Numbers read their leading digits.
TEST_F(ProfileFile, ReadsSectionsAndKeysWhateverTheirCase) {
  load(
      "; comment\n[Configuration]\r\nInPath = /m/In.box \r\nHZOS=3\n[Folders]\n文件夹1=Work\n"
      "[C]\na=12abc\nb=abc\nc=-4\nd=\n");
  EXPECT_EQ(profile_.get_string("configuration", "INPATH"), "/m/In.box");
  EXPECT_EQ(profile_.get_int("Configuration", "hzos", 0), 3);
  EXPECT_EQ(profile_.get_string("FOLDERS", "文件夹1"), "Work");
  const std::pair<const char*, long> numbers[] = {
      {"a", 12}, {"b", 0}, {"c", -4}, {"d", 0}, {"e", 7}};
  for (const auto& [key, value] : numbers)
    EXPECT_EQ(profile_.get_int("C", key, 7), value) << key;
}

TEST_F(ProfileFile, WritesInOrderAndReadsBack) {
  std::string path = folder_.file("new/folder/KESTREL.INI");
  ASSERT_TRUE(profile_.load(path, reason_));
  profile_.set("Configuration", "IMAPAccount", "li@mail.example.cn");
  profile_.set_int("Configuration", "NetLink", 2);
  profile_.set("Folders", "文件夹1", "Work");
  profile_.set("configuration", "imapaccount", "wang@mail.example.cn");
  profile_.set("Environment", "OperSystem", "Microsoft Windows NT");
  ASSERT_TRUE(profile_.save(reason_)) << reason_;
  EXPECT_EQ(file_text(path),
            "[Configuration]\nIMAPAccount=wang@mail.example.cn\nNetLink=2\n\n"
            "[Folders]\n文件夹1=Work\n\n[Environment]\nOperSystem=Microsoft Windows NT\n");
  profile_file again;
  ASSERT_TRUE(again.load(path, reason_));
  EXPECT_EQ(again.text(), profile_.text());
}

TEST_F(ProfileFile, RemovedKeysAreNotWritten) {
  load("[Folders]\n文件夹1=A\n文件夹2=B\n文件夹3=C\n");
  profile_.remove("Folders", "文件夹2");
  profile_.remove("Folders", "none");
  profile_.remove("None", "x");
  EXPECT_EQ(profile_.text(), "[Folders]\n文件夹1=A\n文件夹3=C\n");
}

TEST_F(ProfileFile, KeysMayHoldEqualsSignsAndBackslashes) {
  load("");
  profile_.set("Folders", "文件夹=", "Thirteen");
  profile_.set("Folders", "a\\b", "x=y");
  EXPECT_EQ(profile_.text(), "[Folders]\n文件夹\\==Thirteen\na\\\\b=x=y\n");
  ASSERT_TRUE(profile_.save(reason_));
  profile_file again;
  ASSERT_TRUE(again.load(file_, reason_));
  EXPECT_EQ(again.get_string("Folders", "文件夹="), "Thirteen");
  EXPECT_EQ(again.get_string("Folders", "a\\b"), "x=y");
}

TEST_F(ProfileFile, LineEndsInAValueCannotMakeNewKeys) {
  profile_.set("C", "Name", "a\r\n[Evil]\nx=1");
  EXPECT_EQ(profile_.text(), "[C]\nName=a  [Evil] x=1\n");
}

TEST_F(ProfileFile, AFailedSaveLeavesTheOldFileWhole) {
  load("[C]\nKey=old\n");
  profile_.set("C", "Key", std::string(4096, 'n'));
  // Writes beyond 64 bytes fail (for root too).
  rlimit old_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  sighandler_t old_handler = signal(SIGXFSZ, SIG_IGN);
  rlimit small = old_limit;
  small.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  bool saved = profile_.save(reason_);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(saved);
  EXPECT_NE(reason_.find("cannot"), std::string::npos) << reason_;
  EXPECT_EQ(file_text(file_), "[C]\nKey=old\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator()), 1)
      << "the new file is removed";
}

TEST_F(ProfileFile, AFolderThatCannotBeMadeIsReported) {
  std::ofstream(folder_.file("plain")) << "x";
  ASSERT_TRUE(profile_.load(folder_.file("plain/KESTREL.INI"), reason_));
  profile_.set("C", "Key", "v");
  EXPECT_FALSE(profile_.save(reason_));
  EXPECT_NE(reason_.find("plain"), std::string::npos) << reason_;
}

TEST_F(ProfileFile, TheDefaultPathFollowsTheEnvironment) {
  setenv("KESTREL_PROFILE", "/x/given.ini", 1);
  EXPECT_EQ(profile_file::default_path(), "/x/given.ini");
  unsetenv("KESTREL_PROFILE");
  setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(profile_file::default_path(), "/cfg/kestrel/KESTREL.INI");
  unsetenv("XDG_CONFIG_HOME");
  setenv("HOME", "/home/li", 1);
  EXPECT_EQ(profile_file::default_path(), "/home/li/.config/kestrel/KESTREL.INI");
}
