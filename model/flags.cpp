#include "model/flags.h"

#include "model/model_classes.h"

const archive_class CFlags::runtime_class = {"CFlags", 0, make_model_object<CFlags>};

void CFlags::Serialize(archive& ar) {
  if (ar.storing()) {
    ar << std::string_view(status) << size;
  } else {
    ar >> status >> size;
  }
}
