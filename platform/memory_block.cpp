#include "platform/memory_block.h"

#include <new>
#include <stdexcept>

std::optional<memory_block> memory_block::allocate(std::size_t size) {
  memory_block block;
  try {
    block.bytes_.resize(size);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  } catch (const std::length_error&) {
    return std::nullopt;
  }
  return block;
}
