#include "model/model_classes.h"

#include "model/aletter.h"
#include "model/huge.h"
#include "model/message.h"
#include "model/part.h"

std::span<const archive_class* const> model_classes() {
  static const archive_class* const classes[] = {
      &CAletter::runtime_class,   &CFlags::runtime_class,    &CEnvelope::runtime_class,
      &CAddress::runtime_class,   &CAddritem::runtime_class, &CBody::runtime_class,
      &CParameter::runtime_class, &CParaitem::runtime_class, &CPart::runtime_class,
      &CPartitem::runtime_class,  &CMessage::runtime_class,  &CHuge::runtime_class,
  };
  return classes;
}
