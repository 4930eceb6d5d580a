#include "platform/scratch_directory.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

TEST(ScratchDirectory, IsPrivateKeptAndRemovedWithItsFiles) {
  std::optional<std::string> folder = scratch_directory();
  ASSERT_TRUE(folder);
  struct stat status {};
  ASSERT_EQ(stat(folder->c_str(), &status), 0);
  EXPECT_TRUE(S_ISDIR(status.st_mode));
  EXPECT_EQ(status.st_mode & 0777, 0700u);
  EXPECT_EQ(scratch_directory(), folder) << "one folder for the run";
  std::ofstream(*folder + "/picture.bmp") << "x";
  scratch_directory_remove();
  EXPECT_FALSE(std::filesystem::exists(*folder));
  std::optional<std::string> again = scratch_directory();
  ASSERT_TRUE(again);
  EXPECT_NE(again, folder);
  scratch_directory_remove();
}

TEST(ScratchDirectory, NothingWhenTheFolderCannotBeMade) {
  const char* old = getenv("TMPDIR");
  std::string saved = old ? old : "";
  setenv("TMPDIR", "/nonexistent/kestrel/place", 1);
  EXPECT_EQ(scratch_directory(), std::nullopt);
  old ? setenv("TMPDIR", saved.c_str(), 1) : unsetenv("TMPDIR");
}
