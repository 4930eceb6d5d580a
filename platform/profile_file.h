#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The program's settings file: sections of keys with text values, in the
// order they were first written. Sections and keys are found without regard
// to the case of ASCII letters. The file is UTF-8 text:
//   [Section]
//   Key=value
// A key may hold "=" (the thirteenth user mailbox's key ends in one): it is
// written as "\=", and a backslash in a key as "\\".
class profile_file {
 public:
  // KESTREL_PROFILE when it is set, else KESTREL.INI in the "kestrel" folder
  // of $XDG_CONFIG_HOME (of ~/.config when that is unset).
  static std::string default_path();

  // Reads the file; a file that does not exist is an empty profile. False
  // with the reason when it exists but cannot be read; the profile is then
  // empty but keeps the path, so the settings can still be written.
  bool load(const std::string& path, std::string& reason);

  const std::string& path() const { return path_; }

  std::optional<std::string> get(std::string_view section, std::string_view key) const;
  std::string get_string(std::string_view section, std::string_view key,
                         std::string_view fallback = {}) const;
  // The number at the start of the value (an optional sign, then digits; 0
  // when there are none); the fallback when the key is missing.
  long get_int(std::string_view section, std::string_view key, long fallback) const;

  // Line ends in a value would break the file; they are written as blanks.
  void set(std::string_view section, std::string_view key, std::string_view value);
  void set_int(std::string_view section, std::string_view key, long value);
  void remove(std::string_view section, std::string_view key);

  // Writes the whole file in place of the old one (the folder is made when it
  // is missing); the old file stays whole when that fails.
  bool save(std::string& reason) const;

  // The file's text as save writes it.
  std::string text() const;

 private:
  struct entry {
    std::string key;
    std::string value;
  };
  struct section_entries {
    std::string name;
    std::vector<entry> entries;
  };

  section_entries* find_section(std::string_view name);
  const section_entries* find_section(std::string_view name) const;

  std::string path_;
  std::vector<section_entries> sections_;
};
