#include "model/message.h"

#include "model/model_classes.h"

const archive_class CMessage::runtime_class = {"CMessage", 0, make_model_object<CMessage>};

void CMessage::Serialize(archive& ar) {
  envelope.Serialize(ar);
  body.Serialize(ar);
  if (ar.storing()) {
    ar << std::string_view(text);
  } else {
    ar >> text;
  }
}
