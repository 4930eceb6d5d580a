#pragma once

#include <cstdint>
#include <string>

#include "platform/archive.h"

// A letter's size and status. Status positions: 0 "N" new, 1 "A" answered,
// 2 "D" marked for deletion; a blank where the mark is off.
class CFlags : public archive_object {
 public:
  static const archive_class runtime_class;

  CFlags() = default;
  CFlags(std::uint32_t size, std::string status) : size(size), status(std::move(status)) {}

  const archive_class& class_of() const override { return runtime_class; }
  void Serialize(archive& ar) override;

  // The status mark at a position, a blank past the end of a short status.
  char mark(std::size_t position) const {
    return position < status.size() ? status[position] : ' ';
  }

  std::uint32_t size = 0;  // the letter's size as its server reported it
  std::string status;
};
