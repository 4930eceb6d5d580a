#pragma once

#include <string>

#include "model/body.h"
#include "model/envelope.h"
#include "platform/archive.h"

// An embedded message (a body of type MESSAGE).
class CMessage : public archive_object {
 public:
  static const archive_class runtime_class;

  const archive_class& class_of() const override { return runtime_class; }
  void Serialize(archive& ar) override;

  CEnvelope envelope;
  CBody body;
  std::string text;  // its whole text, when the mail library gave it
};
