#include "platform/file_names.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

namespace {

std::array<std::optional<std::string>, 26> configured_drives;

bool is_separator(char c) {
  return c == '\\' || c == '/';
}

int drive_index(char letter) {
  if (letter >= 'a' && letter <= 'z') return letter - 'a';
  if (letter >= 'A' && letter <= 'Z') return letter - 'A';
  return -1;
}

std::string user_home() {
  const char* home = std::getenv("HOME");
  return home && *home ? home : "/";
}

bool exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// The entry of dir whose name equals component without regard to case; the
// smallest such name when there are several, so the choice does not depend on
// the directory's order.
std::optional<std::string> find_ignoring_case(const std::string& dir,
                                              const std::string& component) {
  std::unique_ptr<DIR, int (*)(DIR*)> handle(::opendir(dir.empty() ? "." : dir.c_str()),
                                             ::closedir);
  if (!handle) return std::nullopt;
  std::optional<std::string> found;
  while (const dirent* entry = ::readdir(handle.get())) {
    if (::strcasecmp(entry->d_name, component.c_str()) != 0) continue;
    if (!found || *found > entry->d_name) found = entry->d_name;
  }
  return found;
}

}  // namespace

void host_set_drive(char letter, std::string directory) {
  int index = drive_index(letter);
  if (index >= 0) configured_drives[index] = std::move(directory);
}

std::string host_drive(char letter) {
  int index = drive_index(letter);
  if (index < 0) return user_home();
  if (configured_drives[index]) return *configured_drives[index];
  std::string variable = std::string("KESTREL_DRIVE_") + static_cast<char>('A' + index);
  const char* value = std::getenv(variable.c_str());
  return value && *value ? value : user_home();
}

std::string host_path(std::string_view name) {
  std::string path;  // resolved so far, without a trailing separator
  if (name.size() >= 2 && name[1] == ':' && drive_index(name[0]) >= 0) {
    path = host_drive(name[0]);
    name.remove_prefix(2);
    while (path.size() > 1 && path.back() == '/')
      path.pop_back();
    if (path == "/") path.clear();
    path += '/';
  } else if (!name.empty() && is_separator(name.front())) {
    path = "/";
  }

  std::vector<std::string> components;
  std::string component;
  for (char c : name) {
    if (is_separator(c)) {
      if (!component.empty()) components.push_back(std::move(component));
      component.clear();
    } else {
      component += c;
    }
  }
  if (!component.empty()) components.push_back(std::move(component));

  bool resolving = true;  // once a component is missing, the rest cannot exist
  for (std::size_t i = 0; i < components.size(); ++i) {
    const std::string& given = components[i];
    std::string dir = path;
    if (!dir.empty() && dir.back() != '/') dir += '/';
    std::string chosen = given;
    if (resolving && given != "." && given != ".." && !exists(dir + given)) {
      std::string parent = dir.empty() ? "." : dir;
      if (auto match = find_ignoring_case(parent, given)) {
        chosen = *match;
      } else {
        resolving = false;
      }
    }
    path = dir + chosen;
  }
  if (path.empty() && !name.empty()) path = ".";
  return path;
}
