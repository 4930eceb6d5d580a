#pragma once

#include <optional>
#include <string>

// The program's private folder for its scratch files: made on first use by
// mkdtemp (mode 0700) in $TMPDIR, or /tmp, never in a shared or fixed place.
// Nothing when it cannot be made.
std::optional<std::string> scratch_directory();

// The path of a file of that name in the folder; nothing without the folder.
std::optional<std::string> scratch_file(const std::string& name);

// Removes the folder and everything in it; the next use makes a new one.
void scratch_directory_remove();
