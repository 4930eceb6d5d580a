#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"

// The options a command knows: "--name" alone, or "--name VALUE"; a
// repeatable one may be given more than once.
struct cli_option {
  std::string_view name;  // with its "--"
  bool takes_value;
  bool repeatable = false;
};

// A command's words: the options given (a flag maps to the empty text) and
// the other words in order.
struct cli_parsed {
  std::multimap<std::string, std::string, std::less<>> options;
  std::vector<std::string> words;

  bool has(std::string_view name) const { return options.contains(name); }
  std::optional<std::string> value(std::string_view name) const;
  // Every value of a repeatable option, in the order given.
  std::vector<std::string> values(std::string_view name) const;
};

// Nothing for an unknown option, one given twice that is not repeatable, or one without its
// value; "--" ends the options. Options and words may come in any order.
std::optional<cli_parsed> cli_options_parse(cli_arguments arguments,
                                            std::span<const cli_option> known);
