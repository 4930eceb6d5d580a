#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The whole of a file, or of standard input when path is empty; nothing
// (after a message on standard error) when it cannot be read.
std::optional<std::string> input_read(const std::string& path);

// Reads standard input in blocks of about a mebibyte. take gets each block,
// which begins with the bytes it did not use last time, and whether it is the
// last one; it returns how many bytes it used, or nothing to stop. False
// (after a message) when reading fails or take stops.
bool input_read_blocks(
    const std::function<std::optional<std::size_t>(std::string_view block, bool last)>& take);

// Writes to standard output; false (after a message) when that fails.
bool output_write(std::string_view bytes);
