#pragma once

#include <cstdint>
#include <string_view>

// A read cursor over a text of known length, delivered in chunks, so that a
// message can come from memory or from a mailbox file without being loaded
// whole. The chunk may be one byte or the whole text; readers only use the
// functions below and the fields `size` (which a reader may lower to stop
// early) and the position.

struct text_source;

struct text_source_ops {
  // Sets up the source over data (the memory, or a file of the driver's).
  void (*init)(text_source& source, const void* data, std::uint32_t size);
  // Returns the current byte and loads the following chunk.
  char (*next)(text_source& source);
  // Makes the chunk start at the given offset of the text.
  void (*setpos)(text_source& source, std::uint32_t position);
};

struct text_source {
  const text_source_ops* ops = nullptr;
  const void* data = nullptr;   // the memory, or the driver's file
  std::uint32_t data1 = 0;      // for a file: the text's offset in it
  std::uint32_t size = 0;       // total length of the text
  const char* chunk = nullptr;  // the current chunk
  std::uint32_t chunk_size = 0;
  std::uint32_t offset = 0;       // position of the chunk's first byte in the text
  const char* current = nullptr;  // the next byte within the chunk
  std::uint32_t left = 0;         // bytes left in the chunk, the next one included
};

// The memory source: the whole text is one chunk.
extern const text_source_ops memory_source_ops;
void text_source_from_memory(text_source& source, std::string_view text);

inline void text_source_init(text_source& source, const text_source_ops& ops, const void* data,
                             std::uint32_t size) {
  source.ops = &ops;
  ops.init(source, data, size);
}

// The next byte; the caller checks text_remaining first.
inline char text_next(text_source& source) {
  if (source.left > 1) {
    --source.left;
    return *source.current++;
  }
  return source.ops->next(source);
}

// The position of the next byte, never past the end: a file source's next
// steps a whole chunk size ahead even when its last chunk was short.
inline std::uint32_t text_position(const text_source& source) {
  const std::uint32_t position =
      source.offset + static_cast<std::uint32_t>(source.current - source.chunk);
  return position < source.size ? position : source.size;
}

inline std::uint32_t text_remaining(const text_source& source) {
  return source.size - text_position(source);
}

inline void text_setpos(text_source& source, std::uint32_t position) {
  source.ops->setpos(source, position);
}
