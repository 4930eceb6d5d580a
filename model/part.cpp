#include "model/part.h"

#include "model/model_classes.h"

const archive_class CPartitem::runtime_class = {"CPartitem", 0, make_model_object<CPartitem>};
const archive_class CPart::runtime_class = {"CPart", 0, make_model_object<CPart>};

void CPartitem::Serialize(archive& ar) {
  body.Serialize(ar);
}

void CPart::Serialize(archive& ar) {
  serialize_items(ar, items, "a body part");
}
