#pragma once

#include <optional>
#include <string>
#include <string_view>

// A file read or written in one piece.

// The file's bytes; nothing when it cannot be read.
std::optional<std::string> read_whole_file(const std::string& path);
// Creates or replaces the file with the bytes; false when any of them could
// not be written.
bool write_whole_file(const std::string& path, std::string_view bytes);
