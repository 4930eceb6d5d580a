#pragma once

#include <cstdint>
#include <string_view>

#include "message/text_source.h"

// Bulk reading of a text_source for the parsers: whole chunks instead of
// single bytes, never past the end of the text.

// The bytes from the current position to the end of the chunk.
std::string_view text_chunk(const text_source& source);

// The first carriage return or line feed in [from, to), or to.
const char* line_end_find(const char* from, const char* to);

// Moves the position forward by count bytes.
void text_skip(text_source& source, std::uint32_t count);

// Counts the line feeds from the current position to the end; the position
// is then the end.
std::uint32_t text_count_line_feeds(text_source& source);

// Reading with one byte of look-ahead, for header lines.
class text_reader {
 public:
  explicit text_reader(text_source& source) : source_(source) {}
  bool done() const { return pending_ < 0 && !text_remaining(source_); }
  char get();
  int peek();  // the next byte, or -1 at the end
  // Leaves the source at the first byte not taken with get().
  void settle();

 private:
  text_source& source_;
  int pending_ = -1;
};
