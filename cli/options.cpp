#include "cli/options.h"

std::optional<std::string> cli_parsed::value(std::string_view name) const {
  auto found = options.find(name);
  if (found == options.end()) return std::nullopt;
  return found->second;
}

std::vector<std::string> cli_parsed::values(std::string_view name) const {
  std::vector<std::string> found;
  auto [first, last] = options.equal_range(name);
  for (auto each = first; each != last; ++each)
    found.push_back(each->second);
  return found;
}

std::optional<cli_parsed> cli_options_parse(cli_arguments arguments,
                                            std::span<const cli_option> known) {
  cli_parsed parsed;
  bool options_ended = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (options_ended || !word.starts_with("--")) {
      parsed.words.push_back(word);
      continue;
    }
    if (word == "--") {
      options_ended = true;
      continue;
    }
    const cli_option* option = nullptr;
    for (const cli_option& candidate : known) {
      if (candidate.name == word) option = &candidate;
    }
    if (!option || (parsed.has(word) && !option->repeatable)) return std::nullopt;
    std::string value;
    if (option->takes_value) {
      if (++i == arguments.size()) return std::nullopt;
      value = arguments[i];
    }
    parsed.options.emplace(word, std::move(value));
  }
  return parsed;
}
