#pragma once

#include <optional>
#include <string>
#include <string_view>

// The file name of a local mailbox: the home directory before a relative name,
// the configured mailbox extension after a name without ".", all upper case
// (DOS file names). Null when the name is not acceptable: a last component
// with two dots, or with one dot while an extension is configured.
std::optional<std::string> mailbox_file(std::string_view name);
