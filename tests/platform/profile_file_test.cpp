#include "platform/profile_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <csignal>

#include <filesystem>
#include <fstream>

#include "tests/support/file_text.h"

namespace fs = std::filesystem;

namespace {

class ProfileFile : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kestrel-profile-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string write(const std::string& text) {
    std::string path = (root_ / "KESTREL.INI").string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  fs::path root_;
};

TEST_F(ProfileFile, AMissingFileIsAnEmptyProfile) {
  profile_file profile;
  std::string reason;
  ASSERT_TRUE(profile.load((root_ / "none.ini").string(), reason));
  EXPECT_EQ(profile.get("Configuration", "HZOS"), std::nullopt);
  EXPECT_EQ(profile.get_int("Configuration", "CheckForMailEvery", 10), 10);
  EXPECT_EQ(profile.get_string("Configuration", "InPath"), "");
}

TEST_F(ProfileFile, ReadsSectionsAndKeysWhateverTheirCase) {
  profile_file profile;
  std::string reason;
  ASSERT_TRUE(profile.load(write("; comment\n[Configuration]\r\nInPath = /m/In.box \r\n"
                                 "HZOS=3\n[Folders]\n文件夹1=Work\n"),
                           reason));
  EXPECT_EQ(profile.get_string("configuration", "INPATH"), "/m/In.box");
  EXPECT_EQ(profile.get_int("Configuration", "hzos", 0), 3);
  EXPECT_EQ(profile.get_string("FOLDERS", "文件夹1"), "Work");
}

TEST_F(ProfileFile, NumbersReadTheirLeadingDigits) {
  profile_file profile;
  std::string reason;
  ASSERT_TRUE(profile.load(write("[C]\na=12abc\nb=abc\nc=-4\nd=\n"), reason));
  EXPECT_EQ(profile.get_int("C", "a", 7), 12);
  EXPECT_EQ(profile.get_int("C", "b", 7), 0);
  EXPECT_EQ(profile.get_int("C", "c", 7), -4);
  EXPECT_EQ(profile.get_int("C", "d", 7), 0);
  EXPECT_EQ(profile.get_int("C", "e", 7), 7);
}

TEST_F(ProfileFile, WritesInOrderAndReadsBack) {
  std::string path = (root_ / "new" / "folder" / "KESTREL.INI").string();
  profile_file profile;
  std::string reason;
  ASSERT_TRUE(profile.load(path, reason));
  profile.set("Configuration", "IMAPAccount", "li@mail.example.cn");
  profile.set_int("Configuration", "NetLink", 2);
  profile.set("Folders", "文件夹1", "Work");
  profile.set("configuration", "imapaccount", "wang@mail.example.cn");
  profile.set("Environment", "OperSystem", "Microsoft Windows NT");
  ASSERT_TRUE(profile.save(reason)) << reason;
  EXPECT_EQ(file_text(path),
            "[Configuration]\nIMAPAccount=wang@mail.example.cn\nNetLink=2\n\n"
            "[Folders]\n文件夹1=Work\n\n[Environment]\nOperSystem=Microsoft Windows NT\n");

  profile_file again;
  ASSERT_TRUE(again.load(path, reason));
  EXPECT_EQ(again.text(), profile.text());
}

TEST_F(ProfileFile, RemovedKeysAreNotWritten) {
  profile_file profile;
  std::string reason;
  ASSERT_TRUE(profile.load(write("[Folders]\n文件夹1=A\n文件夹2=B\n文件夹3=C\n"), reason));
  profile.remove("Folders", "文件夹2");
  profile.remove("Folders", "none");
  profile.remove("None", "x");
  EXPECT_EQ(profile.text(), "[Folders]\n文件夹1=A\n文件夹3=C\n");
}

TEST_F(ProfileFile, KeysMayHoldEqualsSignsAndBackslashes) {
  std::string path = (root_ / "KESTREL.INI").string();
  profile_file profile;
  std::string reason;
  ASSERT_TRUE(profile.load(path, reason));
  profile.set("Folders", "文件夹=", "Thirteen");
  profile.set("Folders", "a\\b", "x=y");
  EXPECT_EQ(profile.text(), "[Folders]\n文件夹\\==Thirteen\na\\\\b=x=y\n");
  ASSERT_TRUE(profile.save(reason));
  profile_file again;
  ASSERT_TRUE(again.load(path, reason));
  EXPECT_EQ(again.get_string("Folders", "文件夹="), "Thirteen");
  EXPECT_EQ(again.get_string("Folders", "a\\b"), "x=y");
}

TEST_F(ProfileFile, LineEndsInAValueCannotMakeNewKeys) {
  profile_file profile;
  profile.set("C", "Name", "a\r\n[Evil]\nx=1");
  EXPECT_EQ(profile.text(), "[C]\nName=a  [Evil] x=1\n");
}

TEST_F(ProfileFile, AFailedSaveLeavesTheOldFileWhole) {
  std::string path = write("[C]\nKey=old\n");
  profile_file profile;
  std::string reason;
  ASSERT_TRUE(profile.load(path, reason));
  profile.set("C", "Key", std::string(4096, 'n'));
  // Writes beyond 64 bytes fail (for root too).
  rlimit old_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  sighandler_t old_handler = signal(SIGXFSZ, SIG_IGN);
  rlimit small = old_limit;
  small.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  bool saved = profile.save(reason);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(saved);
  EXPECT_NE(reason.find("cannot"), std::string::npos) << reason;
  EXPECT_EQ(file_text(path), "[C]\nKey=old\n");
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(root_))
    ++files;
  EXPECT_EQ(files, 1u) << "the new file is removed";
}

TEST_F(ProfileFile, AFolderThatCannotBeMadeIsReported) {
  std::ofstream(root_ / "plain") << "x";
  profile_file profile;
  std::string reason;
  ASSERT_TRUE(profile.load((root_ / "plain" / "KESTREL.INI").string(), reason));
  profile.set("C", "Key", "v");
  EXPECT_FALSE(profile.save(reason));
  EXPECT_NE(reason.find("plain"), std::string::npos) << reason;
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

}  // namespace
