#include "model/aletter.h"

#include "model/model_classes.h"

const archive_class CAletter::runtime_class = {"CAletter", 0, make_model_object<CAletter>};

void CAletter::Serialize(archive& ar) {
  flags.Serialize(ar);
  envelope.Serialize(ar);
  body.Serialize(ar);
}
