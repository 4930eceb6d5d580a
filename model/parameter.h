#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/archive.h"

// One content-type parameter.
class CParaitem : public archive_object {
 public:
  static const archive_class runtime_class;

  CParaitem() = default;
  CParaitem(std::string attribute, std::string value)
      : attribute(std::move(attribute)), value(std::move(value)) {}

  const archive_class& class_of() const override { return runtime_class; }
  void Serialize(archive& ar) override;

  std::string attribute;  // for example "CHARSET"
  std::string value;
};

// An ordered list of parameters.
class CParameter : public archive_object {
 public:
  static const archive_class runtime_class;

  const archive_class& class_of() const override { return runtime_class; }
  void Serialize(archive& ar) override;

  std::vector<std::unique_ptr<CParaitem>> items;
};
