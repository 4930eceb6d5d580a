#pragma once

#include <cstddef>
#include <optional>
#include <vector>

// A block of bytes standing in for the platform's movable memory: allocated
// zero-filled in one piece, owned by whoever holds it. Allocation reports a
// shortage instead of stopping the program, so a caller can tell the user.
class memory_block {
 public:
  memory_block() = default;

  // A zero-filled block of size bytes, or nothing when memory is short.
  static std::optional<memory_block> allocate(std::size_t size);

  std::byte* data() { return bytes_.data(); }
  const std::byte* data() const { return bytes_.data(); }
  std::size_t size() const { return bytes_.size(); }

 private:
  std::vector<std::byte> bytes_;
};
