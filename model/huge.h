#pragma once

#include <cstdint>
#include <string_view>

#include "platform/archive.h"
#include "platform/memory_block.h"

// The bytes of a body that is not text (a picture, a sound, any file), in a
// block of its own.
class CHuge : public archive_object {
 public:
  static const archive_class runtime_class;

  const archive_class& class_of() const override { return runtime_class; }
  void Serialize(archive& ar) override;

  // Holds a copy of the bytes; false, holding nothing, when memory is short
  // or they are more than a stored size can count.
  bool assign(std::string_view bytes);

  std::uint32_t size() const { return static_cast<std::uint32_t>(block_.size()); }
  std::string_view bytes() const {
    return {reinterpret_cast<const char*>(block_.data()), block_.size()};
  }

 private:
  memory_block block_;
};
