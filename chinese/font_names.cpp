#include "chinese/font_names.h"

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
