#pragma once

#include <cstdint>
#include <string>

// Reads size bytes of a source (a connection, a file) into buffer.
using literal_read_fn = bool (*)(void* source, std::uint32_t size, char* buffer);

// A literal reader turns size bytes of a source into a text. Drivers that
// deliver message text use the one set with SET_LITERAL_READER, else this one.
using mail_literal_reader = std::string (*)(literal_read_fn reader, void* source,
                                            std::uint32_t size);

// Longest literal kept; the rest is read and discarded so the source stays in step.
constexpr std::uint32_t kLiteralLimit = 65000;

// The default reader: at most kLiteralLimit bytes, with a warning when cut.
std::string mail_read_literal(literal_read_fn reader, void* source, std::uint32_t size);
