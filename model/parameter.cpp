#include "model/parameter.h"

#include "model/model_classes.h"

const archive_class CParaitem::runtime_class = {"CParaitem", 0, make_model_object<CParaitem>};
const archive_class CParameter::runtime_class = {"CParameter", 0, make_model_object<CParameter>};

void CParaitem::Serialize(archive& ar) {
  if (ar.storing()) {
    ar << std::string_view(attribute) << std::string_view(value);
  } else {
    ar >> attribute >> value;
  }
}

void CParameter::Serialize(archive& ar) {
  serialize_items(ar, items, "a parameter");
}
