#include "message/text_scan.h"

#include <algorithm>

std::string_view text_chunk(const text_source& source) {
  const std::uint32_t count = std::min(source.left, text_remaining(source));
  return {source.current, count};
}

void text_skip(text_source& source, std::uint32_t count) {
  text_setpos(source, text_position(source) + count);
}

std::uint32_t text_count_line_feeds(text_source& source) {
  std::uint32_t count = 0;
  while (text_remaining(source)) {
    std::string_view chunk = text_chunk(source);
    if (chunk.empty()) {  // a source between chunks: take one byte
      count += text_next(source) == '\n';
      continue;
    }
    count += static_cast<std::uint32_t>(std::count(chunk.begin(), chunk.end(), '\n'));
    text_skip(source, static_cast<std::uint32_t>(chunk.size()));
  }
  return count;
}

char text_reader::get() {
  if (pending_ >= 0) {
    char c = static_cast<char>(pending_);
    pending_ = -1;
    return c;
  }
  return text_next(source_);
}

int text_reader::peek() {
  if (pending_ < 0 && text_remaining(source_))
    pending_ = static_cast<unsigned char>(text_next(source_));
  return pending_;
}

void text_reader::settle() {
  if (pending_ < 0) return;
  text_setpos(source_, text_position(source_) - 1);
  pending_ = -1;
}
