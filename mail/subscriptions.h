#pragma once

#include <optional>
#include <string>
#include <string_view>

// The subscription list: "SUBSCRIB.LST" in the home directory, one mailbox
// name a line. Lines are written with CR LF and read with CR LF or LF; names
// compare exactly.

// Adds the name; false (reported) when it is listed already or the file fails.
bool subscription_add(std::string_view name);

// Removes every line equal to the name; false (reported) when there is none.
bool subscription_remove(std::string_view name);

// Walks the list: the first call (with an empty state) reads the file, each
// call gives the next name (empty lines skipped), and nothing at the end.
struct subscription_state {
  std::optional<std::string> contents;
  std::size_t position = 0;
};
std::optional<std::string> subscription_next(subscription_state& state);
