#include "platform/scratch_directory.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

std::optional<std::string>& made() {
  static std::optional<std::string> directory;
  return directory;
}

}  // namespace

std::optional<std::string> scratch_directory() {
  if (made()) return made();
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/kestrel-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (!mkdtemp(name.data())) return std::nullopt;
  made() = name.data();
  return made();
}

std::optional<std::string> scratch_file(const std::string& name) {
  std::optional<std::string> folder = scratch_directory();
  if (!folder) return std::nullopt;
  return *folder + "/" + name;
}

void scratch_directory_remove() {
  if (!made()) return;
  std::error_code error;
  std::filesystem::remove_all(*made(), error);
  made().reset();
}
