#include "tests/support/piece_source.h"

#include <algorithm>

namespace {

void piece_setpos(text_source& source, std::uint32_t position) {
  source.offset = position;
  source.chunk = source.current = static_cast<const char*>(source.data) + position;
  source.left = position < source.size ? std::min(source.chunk_size, source.size - position) : 0;
}

void piece_init(text_source& source, const void* data, std::uint32_t size) {
  source.data = data;
  source.size = size;
  source.chunk_size = 1;
  piece_setpos(source, 0);
}

char piece_next(text_source& source) {
  if (source.left == 0) return '\0';
  const char c = *source.current;
  piece_setpos(source, source.offset + source.chunk_size);
  return c;
}

const text_source_ops piece_source_ops = {piece_init, piece_next, piece_setpos};

}  // namespace

void text_source_in_pieces(text_source& source, std::string_view text, std::uint32_t piece_size) {
  text_source_init(source, piece_source_ops, text.data(), static_cast<std::uint32_t>(text.size()));
  source.chunk_size = piece_size;
  piece_setpos(source, 0);
}
