#pragma once

#include "model/body.h"
#include "model/envelope.h"
#include "model/flags.h"
#include "platform/archive.h"

// One letter of a mailbox: its flags, header fields and body, never missing.
class CAletter : public archive_object {
 public:
  static const archive_class runtime_class;

  CAletter() = default;
  CAletter(CFlags flags, CEnvelope envelope, CBody body)
      : flags(std::move(flags)), envelope(std::move(envelope)), body(std::move(body)) {}

  const archive_class& class_of() const override { return runtime_class; }
  void Serialize(archive& ar) override;

  CFlags flags;
  CEnvelope envelope;
  CBody body;
};
