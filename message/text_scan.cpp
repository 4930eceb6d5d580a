#include "message/text_scan.h"

#include <algorithm>
#include <cstring>

std::string_view text_chunk(const text_source& source) {
  const std::uint32_t count = std::min(source.left, text_remaining(source));
  return {source.current, count};
}

const char* line_end_find(const char* from, const char* to) {
  const char* line_feed = static_cast<const char*>(std::memchr(from, '\n', to - from));
  if (!line_feed) line_feed = to;
  const char* carriage_return = static_cast<const char*>(std::memchr(from, '\r', line_feed - from));
  return carriage_return ? carriage_return : line_feed;
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
    for (const char* at = chunk.data();
         (at = static_cast<const char*>(std::memchr(at, '\n', chunk.data() + chunk.size() - at)));
         ++at)
      ++count;
    text_skip(source, static_cast<std::uint32_t>(chunk.size()));
  }
  return count;
}

void text_reader::settle() {
  if (pending_ < 0) return;
  text_setpos(source_, text_position(source_) - 1);
  pending_ = -1;
}
