#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "model/parameter.h"
#include "platform/archive.h"

class CPart;
class CMessage;
class CHuge;

// One body or body part, its contents decoded.
class CBody : public archive_object {
 public:
  static const archive_class runtime_class;

  CBody();
  ~CBody() override;
  CBody(CBody&&) noexcept;
  CBody& operator=(CBody&&) noexcept;

  const archive_class& class_of() const override { return runtime_class; }
  void Serialize(archive& ar) override;

  // The contents object of a body that is not text, seen as what it is;
  // null when it is absent or of another class.
  const CPart* part() const;
  const CMessage* message() const;
  const CHuge* huge() const;
  CPart* part();
  CMessage* message();
  CHuge* huge();

  std::uint16_t type = 0;  // the body type index: 0 TEXT, 1 MULTIPART, 2 MESSAGE, ...
  std::string subtype;     // upper case as the parser gave it
  std::unique_ptr<CParameter> parameters;  // absent when the body had none
  std::string id;                          // the Content-ID
  std::string text;                        // contents of a TEXT body
  // Contents of any other body: a CPart, CMessage or CHuge, or nothing.
  std::unique_ptr<archive_object> contents;
};
