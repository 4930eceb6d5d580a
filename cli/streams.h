#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The whole of a file, or of standard input when path is empty; nothing
// (after a message on standard error) when it cannot be read.
std::optional<std::string> input_read(const std::string& path);

// Reads standard input in blocks of at most a mebibyte and hands each to
// take; false (after a message) when reading fails or take refuses a block.
bool input_read_blocks(const std::function<bool(std::string_view block)>& take);

// Writes to standard output; false (after a message) when that fails.
bool output_write(std::string_view bytes);
