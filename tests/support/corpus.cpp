#include "tests/support/corpus.h"

#include "tests/support/file_text.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

std::vector<corpus_letter> corpus_letters() {
  std::vector<fs::path> files;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(KESTREL_PYTHON_EMAIL_DATA, error)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("msg_") && name.ends_with(".txt")) files.push_back(entry.path());
  }
  for (const auto& entry : fs::recursive_directory_iterator(KESTREL_ENMIME_DATA, error)) {
    if (entry.path().extension() == ".raw") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  std::vector<corpus_letter> letters;
  for (const fs::path& path : files)
    letters.push_back({path.filename().string(), file_text(path)});
  return letters;
}
