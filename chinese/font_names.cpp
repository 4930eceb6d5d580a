#include "chinese/font_names.h"

#include <filesystem>

namespace {

bool ends_in_separator(std::string_view path) {
  return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

}  // namespace

std::string font_directory(std::string_view work_directory) {
  std::string directory(work_directory);
  if (!ends_in_separator(directory)) directory += '\\';
  directory += kFontFolder;
  directory += '\\';
  return directory;
}

std::string font_path(std::string_view directory, std::string_view name) {
  std::string path(directory);
  if (!path.empty() && !ends_in_separator(path)) path += '/';
  path += name;
  return path;
}

std::string installed_font_directory() {
  std::error_code error;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  std::filesystem::path prefix = program.parent_path().parent_path();
  for (const char* place : {"ccfont", "share/kestrel/ccfont"}) {
    std::filesystem::path directory = prefix / place;
    if (std::filesystem::is_directory(directory, error)) return directory.string();
  }
  return (prefix / "share/kestrel/ccfont").string();
}
