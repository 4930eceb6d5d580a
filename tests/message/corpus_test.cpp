// Every letter of two published corpora (Python's email test data and
// enmime's, Debian packages libpython3.11-testsuite and
// golang-github-jhillyerd-enmime-dev) parses, and parses the same in pieces.
// The sanitizer build runs this too. The comparison of the trees with
// Python's email package is corpus_compare.py.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/message_describe.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> corpus_files() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(KESTREL_PYTHON_EMAIL_DATA)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("msg_") && name.ends_with(".txt")) files.push_back(entry.path());
  }
  for (const auto& entry : fs::recursive_directory_iterator(KESTREL_ENMIME_DATA)) {
    if (entry.path().extension() == ".raw") files.push_back(entry.path());
  }
  return files;
}

std::string file_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TEST(Corpus, EveryLetterParsesTheSameWholeAndInPieces) {
  const std::vector<fs::path> files = corpus_files();
  ASSERT_GE(files.size(), 100u) << "are both corpus packages installed?";
  for (const fs::path& path : files) {
    const std::string letter = file_bytes(path);
    const std::string whole = message_describe(letter, 0);
    EXPECT_EQ(message_describe(letter, 1), whole) << path;
    EXPECT_EQ(message_describe(letter, 4096), whole) << path;
  }
}

}  // namespace
