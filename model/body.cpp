#include "model/body.h"

#include "model/huge.h"
#include "model/message.h"
#include "model/model_classes.h"
#include "model/part.h"

// Schema 1, as the first mailbox files have it.
const archive_class CBody::runtime_class = {"CBody", 1, make_model_object<CBody>};

namespace {

constexpr std::uint16_t kTextType = 0;

}  // namespace

CBody::CBody() = default;
CBody::~CBody() = default;
CBody::CBody(CBody&&) noexcept = default;
CBody& CBody::operator=(CBody&&) noexcept = default;

const CPart* CBody::part() const {
  return dynamic_cast<const CPart*>(contents.get());
}
const CMessage* CBody::message() const {
  return dynamic_cast<const CMessage*>(contents.get());
}
const CHuge* CBody::huge() const {
  return dynamic_cast<const CHuge*>(contents.get());
}
CPart* CBody::part() {
  return dynamic_cast<CPart*>(contents.get());
}
CMessage* CBody::message() {
  return dynamic_cast<CMessage*>(contents.get());
}
CHuge* CBody::huge() {
  return dynamic_cast<CHuge*>(contents.get());
}

void CBody::Serialize(archive& ar) {
  if (ar.storing()) {
    ar << type << std::string_view(subtype) << std::string_view(id)
       << static_cast<std::uint8_t>(parameters ? 1 : 0);
    if (parameters) parameters->Serialize(ar);
    if (type == kTextType) {
      ar << std::string_view(text);
    } else {
      ar.write_object(contents.get());
    }
    return;
  }
  ar >> type >> subtype >> id;
  parameters.reset();
  if (ar.read_u8() != 0) {
    parameters = std::make_unique<CParameter>();
    parameters->Serialize(ar);
  }
  text.clear();
  contents.reset();
  if (type == kTextType) {
    ar >> text;
    return;
  }
  contents = archive_read_owned<archive_object>(ar, "a body's contents");
  if (contents && !part() && !message() && !huge()) {
    ar.fail("a " + std::string(contents->class_of().name) + " where a body's contents must be");
    contents.reset();
  }
}
