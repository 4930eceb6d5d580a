#pragma once

#include <cstddef>
#include <string>

#include "platform/unique_fd.h"

// Font files are read in place, a glyph at a time.

// Opens a file for reading, its name mapped through host_path.
unique_fd open_for_reading(const std::string& name);

// Reads up to size bytes at offset; the number read (0 on any error).
std::size_t read_at(const unique_fd& fd, long offset, void* buffer, std::size_t size);
