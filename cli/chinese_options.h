#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"

// Shared by the commands that read the Chinese fonts or whole texts.

// The font directory: the value of "--fonts DIR" among the arguments (taken
// out of them), else the ccfont folder of the build or of the installation
// beside the program.
std::string cli_font_directory(std::vector<std::string>& arguments);

// Takes "NAME VALUE" out of the arguments; nothing when NAME is absent, and
// false in ok when it is the last word.
std::optional<std::string> cli_take_option(std::vector<std::string>& arguments,
                                           std::string_view name, bool& ok);

// The whole of a file, or of standard input for an empty name.
std::optional<std::string> cli_read_all(const std::string& name);

// Writes the parts one after another to a file, or to standard output for an
// empty name.
bool cli_write_all(const std::string& name, std::initializer_list<std::string_view> parts);
inline bool cli_write_all(const std::string& name, std::string_view bytes) {
  return cli_write_all(name, {bytes});
}
