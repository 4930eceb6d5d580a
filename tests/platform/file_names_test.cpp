#include "platform/file_names.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "platform/storage.h"
#include "tests/support/table.h"

namespace fs = std::filesystem;

namespace {

// A scratch tree: <root>/mail/in.box, <root>/mail/Out.Box, <root>/Docs/
class FileNames : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kestrel-names-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    fs::create_directories(root_ / "mail");
    fs::create_directories(root_ / "Docs");
    std::ofstream(root_ / "mail" / "in.box") << "x";
    std::ofstream(root_ / "mail" / "Out.Box") << "x";
  }
  void TearDown() override { fs::remove_all(root_); }

  // The root in DOS style: upper case, backslashes.
  std::string dos_root() const {
    std::string name = root_.string();
    for (char& c : name)
      c = c == '/' ? '\\' : c;
    return text_upper(name);
  }

  fs::path root_;
};

TEST_F(FileNames, ExistingComponentsAreFoundWhateverTheirCase) {
  EXPECT_EQ(host_path(dos_root() + "\\MAIL\\IN.BOX"), (root_ / "mail" / "in.box").string());
  EXPECT_EQ(host_path(dos_root() + "\\mail\\out.box"), (root_ / "mail" / "Out.Box").string());
  EXPECT_EQ(host_path(dos_root() + "/DOCS"), (root_ / "Docs").string());
}

TEST_F(FileNames, BothSeparatorsAndDoubledSeparatorsWork) {
  EXPECT_EQ(host_path(dos_root() + "/MAIL\\\\IN.BOX"), (root_ / "mail" / "in.box").string());
}

TEST_F(FileNames, NewFilesKeepTheNameGiven) {
  EXPECT_EQ(host_path(dos_root() + "\\MAIL\\TRASH.BOX"), (root_ / "mail" / "TRASH.BOX").string());
  EXPECT_EQ(host_path(dos_root() + "\\NEW\\IN.BOX"), (root_ / "NEW" / "IN.BOX").string());
}

TEST_F(FileNames, AnExactMatchWinsOverOneInAnotherCase) {
  std::ofstream(root_ / "mail" / "IN.BOX") << "y";
  EXPECT_EQ(host_path(dos_root() + "\\MAIL\\IN.BOX"), (root_ / "mail" / "IN.BOX").string());
  EXPECT_EQ(host_path(dos_root() + "\\MAIL\\In.Box"), (root_ / "mail" / "IN.BOX").string())
      << "of several matches the smallest name is chosen, whatever the directory order";
}

TEST_F(FileNames, DriveLettersStandForTheirDirectory) {
  host_set_drive('q', root_.string());
  EXPECT_EQ(host_path("Q:\\MAIL\\IN.BOX"), (root_ / "mail" / "in.box").string());
  EXPECT_EQ(host_path("q:mail\\in.box"), (root_ / "mail" / "in.box").string());
  EXPECT_EQ(host_path("Q:"), root_.string() + "/");
}

TEST_F(FileNames, DrivesDefaultToTheHomeDirectoryOrTheEnvironment) {
  std::string old_home = getenv("HOME") ? getenv("HOME") : "";
  setenv("HOME", root_.c_str(), 1);
  EXPECT_EQ(host_path("C:\\MAIL\\IN.BOX"), (root_ / "mail" / "in.box").string());
  setenv("KESTREL_DRIVE_E", (root_ / "mail").c_str(), 1);
  EXPECT_EQ(host_path("E:\\OUT.BOX"), (root_ / "mail" / "Out.Box").string());
  unsetenv("KESTREL_DRIVE_E");
  setenv("HOME", old_home.c_str(), 1);
}

TEST_F(FileNames, RelativeNamesStayRelative) {
  fs::path old = fs::current_path();
  fs::current_path(root_);
  EXPECT_EQ(host_path("MAIL\\IN.BOX"), "mail/in.box");
  EXPECT_EQ(host_path("..\\" + root_.filename().string() + "\\MAIL\\IN.BOX"),
            "../" + root_.filename().string() + "/mail/in.box");
  fs::current_path(old);
}

}  // namespace
