#include "platform/file_names.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "platform/storage.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/table.h"

namespace fs = std::filesystem;

// A scratch tree: <root>/mail/in.box, <root>/mail/Out.Box, <root>/Docs/;
// drive Q: and $HOME are the root, $KESTREL_DRIVE_E its mail folder, and the
// root is the working directory.
class FileNames : public testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(root_ / "mail");
    fs::create_directories(root_ / "Docs");
    std::ofstream(root_ / "mail" / "in.box") << "x";
    std::ofstream(root_ / "mail" / "Out.Box") << "x";
    host_set_drive('q', root_.string());
    setenv("HOME", root_.c_str(), 1);
    setenv("KESTREL_DRIVE_E", (root_ / "mail").c_str(), 1);
    fs::current_path(root_);
  }
  void TearDown() override {
    fs::current_path(old_directory_);
    setenv("HOME", old_home_.c_str(), 1);
    unsetenv("KESTREL_DRIVE_E");
  }

  // The root in DOS style: upper case, backslashes.
  std::string dos_root() const {
    std::string name = root_.string();
    for (char& c : name)
      c = c == '/' ? '\\' : c;
    return text_upper(name);
  }

  scratch_folder folder_;
  fs::path root_ = folder_.path();
  fs::path old_directory_ = fs::current_path();
  std::string old_home_ = getenv("HOME") ? getenv("HOME") : "";
};

// "@" stands for the root (in DOS style in the name), "%" for its last component.
struct name_row {
  std::string name, dos, host;
};

class HostPath : public FileNames, public testing::WithParamInterface<name_row> {
 protected:
  std::string expand(std::string text, const std::string& root) const {
    if (auto at = text.find('@'); at != std::string::npos) text.replace(at, 1, root);
    if (auto at = text.find('%'); at != std::string::npos)
      text.replace(at, 1, root_.filename().string());
    return text;
  }
};

TEST_P(HostPath, FindsTheFile) {
  EXPECT_EQ(host_path(expand(GetParam().dos, dos_root())), expand(GetParam().host, root_));
}

const name_row kNames[] = {
    {"existing_components_in_any_case", "@\\MAIL\\IN.BOX", "@/mail/in.box"},
    {"lower_case_finds_mixed_case", "@\\mail\\out.box", "@/mail/Out.Box"},
    {"slash_separator", "@/DOCS", "@/Docs"},
    {"both_and_doubled_separators", "@/MAIL\\\\IN.BOX", "@/mail/in.box"},
    {"new_file_keeps_the_name_given", "@\\MAIL\\TRASH.BOX", "@/mail/TRASH.BOX"},
    {"new_folder_keeps_the_name_given", "@\\NEW\\IN.BOX", "@/NEW/IN.BOX"},
    {"drive_letter", "Q:\\MAIL\\IN.BOX", "@/mail/in.box"},
    {"drive_relative", "q:mail\\in.box", "@/mail/in.box"},
    {"drive_alone", "Q:", "@/"},
    {"drive_defaults_to_home", "C:\\MAIL\\IN.BOX", "@/mail/in.box"},
    {"drive_from_the_environment", "E:\\OUT.BOX", "@/mail/Out.Box"},
    {"relative_stays_relative", "MAIL\\IN.BOX", "mail/in.box"},
    {"relative_upwards", "..\\%\\MAIL\\IN.BOX", "../%/mail/in.box"},
};
INSTANTIATE_TEST_SUITE_P(Rows, HostPath, testing::ValuesIn(kNames), row_name());

TEST_F(FileNames, AnExactMatchWinsOverOneInAnotherCase) {
  std::ofstream(root_ / "mail" / "IN.BOX") << "y";
  EXPECT_EQ(host_path(dos_root() + "\\MAIL\\IN.BOX"), (root_ / "mail" / "IN.BOX").string());
  EXPECT_EQ(host_path(dos_root() + "\\MAIL\\In.Box"), (root_ / "mail" / "IN.BOX").string())
      << "of several matches the smallest name is chosen, whatever the directory order";
}
