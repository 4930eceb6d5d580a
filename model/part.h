#pragma once

#include <memory>
#include <vector>

#include "model/body.h"
#include "platform/archive.h"

// One part of a multipart body.
class CPartitem : public archive_object {
 public:
  static const archive_class runtime_class;

  CPartitem() = default;
  explicit CPartitem(CBody body) : body(std::move(body)) {}

  const archive_class& class_of() const override { return runtime_class; }
  void Serialize(archive& ar) override;

  CBody body;
};

// The parts of a multipart body, in order.
class CPart : public archive_object {
 public:
  static const archive_class runtime_class;

  const archive_class& class_of() const override { return runtime_class; }
  void Serialize(archive& ar) override;

  std::vector<std::unique_ptr<CPartitem>> items;
};
