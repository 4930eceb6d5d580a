#include "model/envelope.h"

#include "model/model_classes.h"

const archive_class CEnvelope::runtime_class = {"CEnvelope", 0, make_model_object<CEnvelope>};

CEnvelope::CEnvelope(std::string subject, std::string date, std::unique_ptr<CAddress> from,
                     std::unique_ptr<CAddress> to, std::unique_ptr<CAddress> cc,
                     std::unique_ptr<CAddress> bcc, std::string message_id)
    : date(std::move(date)),
      from(std::move(from)),
      subject(std::move(subject)),
      to(std::move(to)),
      cc(std::move(cc)),
      bcc(std::move(bcc)),
      message_id(std::move(message_id)) {}

void CEnvelope::Serialize(archive& ar) {
  if (ar.storing()) {
    ar << std::string_view(date) << std::string_view(subject) << std::string_view(message_id);
  } else {
    ar >> date >> subject >> message_id;
  }
  // Each list: a byte saying whether it is there, then its fields.
  for (std::unique_ptr<CAddress>* list : {&from, &to, &cc, &bcc}) {
    if (ar.storing()) {
      ar << static_cast<std::uint8_t>(*list ? 1 : 0);
    } else {
      list->reset();
      if (ar.read_u8() != 0) *list = std::make_unique<CAddress>();
    }
    if (*list) (*list)->Serialize(ar);
  }
}
