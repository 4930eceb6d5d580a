#pragma once

#include <memory>
#include <string>

#include "model/address.h"
#include "platform/archive.h"

// The header fields a letter keeps.
class CEnvelope : public archive_object {
 public:
  static const archive_class runtime_class;

  CEnvelope() = default;
  // Subject first, date second, unlike the order of the fields.
  CEnvelope(std::string subject, std::string date, std::unique_ptr<CAddress> from,
            std::unique_ptr<CAddress> to, std::unique_ptr<CAddress> cc,
            std::unique_ptr<CAddress> bcc, std::string message_id);

  const archive_class& class_of() const override { return runtime_class; }
  void Serialize(archive& ar) override;

  std::string date;  // a fetched letter's internal date text, 14 blanks for a composed one
  std::unique_ptr<CAddress> from;
  std::string subject;
  std::unique_ptr<CAddress> to;
  std::unique_ptr<CAddress> cc;
  std::unique_ptr<CAddress> bcc;
  std::string message_id;  // of a composed letter; empty for a fetched one
};
