#include <gmock/gmock.h>

#include <filesystem>

#include "tests/support/run_program.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/table.h"

namespace fs = std::filesystem;

namespace {

using testing::HasSubstr;

// The Debian package that cpack made of this build (the package_deb test),
// unpacked into a scratch root: what it holds and that its programs run from
// there.
class Package : public testing::Test {
 protected:
  void SetUp() override {
    for (const auto& entry : fs::directory_iterator(KESTREL_PACKAGE_DIR))
      if (entry.path().extension() == ".deb") deb_ = entry.path().string();
    ASSERT_FALSE(deb_.empty()) << "no package in " KESTREL_PACKAGE_DIR;
    program_result unpacked = run_program("/usr/bin/dpkg-deb", {"-x", deb_, root()});
    ASSERT_EQ(unpacked.exit_code, 0) << unpacked.err;
  }

  std::string root() const { return folder_.path() + "/root"; }
  std::string field(const std::string& name) const {
    return run_program("/usr/bin/dpkg-deb", {"-f", deb_, name}).out;
  }

  scratch_folder folder_;
  std::string deb_;
};

struct file_row {
  std::string name;
  std::string path;  // under the root
};

class Installed : public Package, public testing::WithParamInterface<file_row> {};

TEST_P(Installed, InItsFreedesktopPlace) {
  EXPECT_TRUE(fs::is_regular_file(root() + GetParam().path)) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Installed,
    testing::Values(file_row{"Program", "/usr/bin/kestrel"},
                    file_row{"CommandLine", "/usr/bin/kestrel-mail"},
                    file_row{"GbFont", "/usr/share/kestrel/ccfont/HZK16"},
                    file_row{"CnsFont", "/usr/share/kestrel/ccfont/cns2.bin"},
                    file_row{"DesktopEntry", "/usr/share/applications/kestrel.desktop"},
                    file_row{"Icon", "/usr/share/icons/hicolor/256x256/apps/kestrel.png"},
                    file_row{"SmallIcon", "/usr/share/icons/hicolor/16x16/apps/kestrel.png"},
                    file_row{"MailboxType", "/usr/share/mime/packages/kestrel-mailbox.xml"}),
    row_name());

TEST_F(Package, NamesTheLibrariesItNeeds) {
  std::string depends = field("Depends");
  EXPECT_THAT(depends, HasSubstr("libqt6widgets6"));
  EXPECT_THAT(depends, HasSubstr("libgsf-1-114"));
  EXPECT_THAT(field("Recommends"), HasSubstr("qt6-translations-l10n"));
  // Every dependency is a package Debian has (apt only simulates here).
  program_result resolved = run_program("/usr/bin/apt-get", {"install", "-s", "-q", deb_});
  EXPECT_EQ(resolved.exit_code, 0) << resolved.out << resolved.err;
}

TEST_F(Package, TheCommandLineRunsWithTheInstalledFonts) {
  program_result help = run_program(root() + "/usr/bin/kestrel-mail", {"--help"});
  EXPECT_EQ(help.exit_code, 0) << help.err;
  EXPECT_THAT(help.out, HasSubstr("kestrel-mail"));
  // The glyph of 啊 (GB B0A1) comes from the font beside the program.
  program_result glyph = run_program(root() + "/usr/bin/kestrel-mail", {"glyph", "hzk16", "B0A1"});
  EXPECT_EQ(glyph.exit_code, 0) << glyph.err;
  EXPECT_THAT(glyph.out, HasSubstr("#"));
}

// The program has no way to end on its own before the user answers its first
// question: it must still be running, unharmed, when it is stopped.
TEST_F(Package, TheProgramStartsOffscreen) {
  program_result run = run_program(
      "/usr/bin/env", {"QT_QPA_PLATFORM=offscreen", "KESTREL_PROFILE=" + folder_.path() + "/k.ini",
                       "/usr/bin/timeout", "4", root() + "/usr/bin/kestrel"});
  EXPECT_EQ(run.exit_code, 124) << run.err;
  EXPECT_THAT(run.err, testing::Not(HasSubstr("error"))) << run.err;
}

}  // namespace
