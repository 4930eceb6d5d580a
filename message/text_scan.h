#pragma once

#include <cstdint>
#include <string>
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
  char get() {
    if (pending_ < 0) return text_next(source_);
    const char c = static_cast<char>(pending_);
    pending_ = -1;
    return c;
  }
  // The next byte, or -1 at the end.
  int peek() {
    if (pending_ < 0 && text_remaining(source_))
      pending_ = static_cast<unsigned char>(text_next(source_));
    return pending_;
  }
  // The position of the next byte get() gives.
  std::uint32_t position() const { return text_position(source_) - (pending_ >= 0 ? 1 : 0); }
  // Leaves the source at the first byte not taken with get().
  void settle();

 private:
  text_source& source_;
  int pending_ = -1;
};

// Reading a text in memory in the same way.
class memory_reader {
 public:
  explicit memory_reader(std::string_view text) : text_(text) {}
  bool done() const { return at_ == text_.size(); }
  char get() { return text_[at_++]; }
  int peek() const { return at_ < text_.size() ? static_cast<unsigned char>(text_[at_]) : -1; }
  std::uint32_t position() const { return static_cast<std::uint32_t>(at_); }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
};

// Reads one header line, unfolded: runs of blanks, tabs and carriage returns
// become one blank and leading ones vanish; a line feed followed by a blank
// or tab continues the line. With crlf_ends_line a carriage return before a
// line feed is part of the line end (no trailing blank). The ending line
// feed is taken; returns the position after it (or the end's).
template <typename Reader>
std::uint32_t header_line_read(Reader& reader, std::string& line, bool crlf_ends_line) {
  line.clear();
  bool blank = true;  // as if a blank had just been written
  while (!reader.done()) {
    char c = reader.get();
    if (c == '\r' && crlf_ends_line && reader.peek() == '\n') c = reader.get();
    if (c == '\n') {
      const int next = reader.peek();
      if (next == ' ' || next == '\t') continue;
      break;
    }
    if (c == ' ' || c == '\t' || c == '\r') {
      if (!blank) line += ' ';
      blank = true;
    } else {
      line += c;
      blank = false;
    }
  }
  return reader.position();
}
