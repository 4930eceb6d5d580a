#pragma once

#include <optional>
#include <string>
#include <string_view>

// The whole of a file, or of standard input when path is empty; nothing
// (after a message on standard error) when it cannot be read.
std::optional<std::string> input_read(const std::string& path);

// Writes to standard output; false (after a message) when that fails.
bool output_write(std::string_view bytes);
