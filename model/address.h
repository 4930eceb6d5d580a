#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/archive.h"

// One address: a display name and the address text ("mailbox@host").
class CAddritem : public archive_object {
 public:
  static const archive_class runtime_class;

  CAddritem() = default;
  CAddritem(std::string name, std::string address)
      : name(std::move(name)), address(std::move(address)) {}

  const archive_class& class_of() const override { return runtime_class; }
  void Serialize(archive& ar) override;

  std::string name;
  std::string address;
};

// An ordered list of addresses.
class CAddress : public archive_object {
 public:
  static const archive_class runtime_class;

  CAddress() = default;
  // A list of one address.
  explicit CAddress(std::unique_ptr<CAddritem> item);

  const archive_class& class_of() const override { return runtime_class; }
  void Serialize(archive& ar) override;

  std::vector<std::unique_ptr<CAddritem>> items;
};
