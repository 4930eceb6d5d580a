#include "message/text_source.h"

namespace {

void memory_init(text_source& source, const void* data, std::uint32_t size) {
  source.data = data;
  source.size = size;
  source.chunk = source.current = static_cast<const char*>(data);
  source.chunk_size = source.left = size;
  source.offset = 0;
}

char memory_next(text_source& source) {
  if (source.left == 0) return '\0';  // past the end: nothing to deliver
  source.left = 0;
  return *source.current++;
}

void memory_setpos(text_source& source, std::uint32_t position) {
  if (position > source.chunk_size) position = source.chunk_size;
  source.current = source.chunk + position;
  source.left = source.chunk_size - position;
}

}  // namespace

const text_source_ops memory_source_ops = {memory_init, memory_next, memory_setpos};

void text_source_from_memory(text_source& source, std::string_view text) {
  text_source_init(source, memory_source_ops, text.data(), static_cast<std::uint32_t>(text.size()));
}
