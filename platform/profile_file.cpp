#include "platform/profile_file.h"

#include <strings.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/safe_save.h"

namespace {

bool same_name(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string_view trimmed(std::string_view text) {
  const char* blanks = " \t\r";
  std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  std::size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

// Keys escape "=" and "\\" with a backslash.
std::string escaped_key(std::string_view key) {
  std::string text;
  for (char c : key) {
    if (c == '=' || c == '\\') text += '\\';
    text += c;
  }
  return text;
}

// The end of the key part of a line: the first "=" not escaped.
std::size_t key_end(std::string_view line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\\' && i + 1 < line.size()) {
      ++i;
    } else if (line[i] == '=') {
      return i;
    }
  }
  return std::string_view::npos;
}

std::string unescaped_key(std::string_view key) {
  std::string text;
  for (std::size_t i = 0; i < key.size(); ++i) {
    if (key[i] == '\\' && i + 1 < key.size()) ++i;
    text += key[i];
  }
  return text;
}

std::string one_line(std::string_view text) {
  std::string line(text);
  for (char& c : line)
    if (c == '\n' || c == '\r') c = ' ';
  return line;
}

}  // namespace

std::string profile_file::default_path() {
  if (const char* given = std::getenv("KESTREL_PROFILE"); given && *given) return given;
  std::string config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    config = xdg;
  } else {
    const char* home = std::getenv("HOME");
    config = std::string(home && *home ? home : ".") + "/.config";
  }
  return config + "/kestrel/KESTREL.INI";
}

bool profile_file::load(const std::string& path, std::string& reason) {
  path_ = path;
  sections_.clear();
  std::error_code error;
  if (!std::filesystem::exists(path, error) && !error) return true;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    reason = path + ": " + std::strerror(errno);
    return false;
  }
  std::string line;
  section_entries* current = nullptr;
  while (std::getline(in, line)) {
    std::string_view text = trimmed(line);
    if (text.empty() || text.front() == ';' || text.front() == '#') continue;
    if (text.front() == '[') {
      std::size_t close = text.find(']');
      std::string_view name = trimmed(
          text.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
      current = find_section(name);
      if (!current) current = &sections_.emplace_back(section_entries{std::string(name), {}});
      continue;
    }
    std::size_t equals = key_end(text);
    if (!current || equals == std::string_view::npos || equals == 0) continue;
    set(current->name, unescaped_key(trimmed(text.substr(0, equals))),
        trimmed(text.substr(equals + 1)));
  }
  if (in.bad()) {
    reason = path + ": " + std::strerror(errno);
    sections_.clear();
    return false;
  }
  return true;
}

profile_file::section_entries* profile_file::find_section(std::string_view name) {
  for (section_entries& section : sections_)
    if (same_name(section.name, name)) return &section;
  return nullptr;
}

const profile_file::section_entries* profile_file::find_section(std::string_view name) const {
  for (const section_entries& section : sections_)
    if (same_name(section.name, name)) return &section;
  return nullptr;
}

std::optional<std::string> profile_file::get(std::string_view section, std::string_view key) const {
  if (const section_entries* found = find_section(section)) {
    for (const entry& e : found->entries)
      if (same_name(e.key, key)) return e.value;
  }
  return std::nullopt;
}

std::string profile_file::get_string(std::string_view section, std::string_view key,
                                     std::string_view fallback) const {
  return get(section, key).value_or(std::string(fallback));
}

long profile_file::get_int(std::string_view section, std::string_view key, long fallback) const {
  std::optional<std::string> value = get(section, key);
  if (!value) return fallback;
  return std::strtol(value->c_str(), nullptr, 10);
}

void profile_file::set(std::string_view section, std::string_view key, std::string_view value) {
  section_entries* place = find_section(section);
  if (!place) place = &sections_.emplace_back(section_entries{std::string(section), {}});
  for (entry& e : place->entries) {
    if (same_name(e.key, key)) {
      e.value = one_line(value);
      return;
    }
  }
  place->entries.push_back({one_line(key), one_line(value)});
}

void profile_file::set_int(std::string_view section, std::string_view key, long value) {
  set(section, key, std::to_string(value));
}

void profile_file::remove(std::string_view section, std::string_view key) {
  if (section_entries* place = find_section(section)) {
    std::erase_if(place->entries, [&](const entry& e) { return same_name(e.key, key); });
  }
}

std::string profile_file::text() const {
  std::ostringstream out;
  bool first = true;
  for (const section_entries& section : sections_) {
    if (!first) out << "\n";
    first = false;
    out << "[" << section.name << "]\n";
    for (const entry& e : section.entries)
      out << escaped_key(e.key) << "=" << e.value << "\n";
  }
  return out.str();
}

bool profile_file::save(std::string& reason) const {
  std::filesystem::path folder = std::filesystem::path(path_).parent_path();
  std::error_code error;
  if (!folder.empty()) std::filesystem::create_directories(folder, error);
  if (error) {
    reason = folder.string() + ": " + error.message();
    return false;
  }
  const std::string contents = text();
  return safe_save(
      path_,
      [&](std::FILE* file, std::string& why) {
        if (std::fwrite(contents.data(), 1, contents.size(), file) == contents.size()) return true;
        why = std::string("cannot write the new file: ") + std::strerror(errno);
        return false;
      },
      reason);
}
