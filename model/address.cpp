#include "model/address.h"

#include "model/model_classes.h"

const archive_class CAddritem::runtime_class = {"CAddritem", 0, make_model_object<CAddritem>};
const archive_class CAddress::runtime_class = {"CAddress", 0, make_model_object<CAddress>};

void CAddritem::Serialize(archive& ar) {
  if (ar.storing()) {
    ar << std::string_view(name) << std::string_view(address);
  } else {
    ar >> name >> address;
  }
}

CAddress::CAddress(std::unique_ptr<CAddritem> item) {
  items.push_back(std::move(item));
}

void CAddress::Serialize(archive& ar) {
  serialize_items(ar, items, "an address");
}
