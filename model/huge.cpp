#include "model/huge.h"

#include <cstring>

#include "model/model_classes.h"

const archive_class CHuge::runtime_class = {"CHuge", 0, make_model_object<CHuge>};

namespace {

constexpr const char* kMemoryShort = "内存不够。";

}  // namespace

bool CHuge::assign(std::string_view bytes) {
  block_ = memory_block();
  if (bytes.size() > UINT32_MAX) return false;
  std::optional<memory_block> block = memory_block::allocate(bytes.size());
  if (!block) return false;
  if (!bytes.empty()) std::memcpy(block->data(), bytes.data(), bytes.size());
  block_ = std::move(*block);
  return true;
}

void CHuge::Serialize(archive& ar) {
  if (ar.storing()) {
    ar << size();
    ar.write_bytes(block_.data(), block_.size());
    return;
  }
  const std::uint32_t stored = ar.read_u32();
  if (ar.failed()) return;
  if (stored > ar.remaining()) {
    ar.fail("a block of " + std::to_string(stored) + " bytes with only " +
            std::to_string(ar.remaining()) + " bytes left");
    return;
  }
  // Without its block the rest of the file cannot be read in step, so a
  // shortage of memory ends the reading instead of skipping the bytes.
  std::optional<memory_block> block = memory_block::allocate(stored);
  if (!block) {
    ar.fail(kMemoryShort);
    return;
  }
  if (ar.read_bytes(block->data(), stored)) block_ = std::move(*block);
}
