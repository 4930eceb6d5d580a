#include "mail/parameters.h"

#include "mail/cache.h"
#include "mail/driver.h"
#include "mail/literal.h"
#include "mail/stream.h"
#include "message/callbacks.h"
#include "platform/environment.h"

namespace {

struct core_parameters {
  mail_driver* drivers = nullptr;
  mail_literal_reader literal_reader = nullptr;
  mail_cache_manager cache_manager = mm_cache;
  mail_parameter_layer transport = nullptr;
};

core_parameters& core() {
  static core_parameters parameters;
  return parameters;
}

template <typename Function>
void* as_value(Function function) {
  return reinterpret_cast<void*>(function);
}

}  // namespace

void mail_link_driver(mail_driver* driver) {
  mail_driver** place = &core().drivers;
  while (*place && *place != driver)
    place = &(*place)->next;
  *place = driver;
  driver->next = nullptr;
}

void mail_link_transport_parameters(mail_parameter_layer layer) {
  core().transport = layer;
}

void* mail_parameters(mail_stream* stream, long code, void* value) {
  core_parameters& held = core();
  switch (code) {
    case GET_DRIVERS:
      return held.drivers;
    case SET_DRIVERS:
      mail_fatal("SET_DRIVERS not permitted");
    case GET_LITERAL_READER:
      return as_value(held.literal_reader);
    case SET_LITERAL_READER:
      held.literal_reader = reinterpret_cast<mail_literal_reader>(value);
      return value;
    case GET_CACHE_MANAGER:
      return as_value(held.cache_manager);
    case SET_CACHE_MANAGER:
      held.cache_manager = reinterpret_cast<mail_cache_manager>(value);
      return value;
    default:
      break;
  }
  void* result = nullptr;
  if (stream && stream->driver) {
    result = stream->driver->parameters(code, value);
  } else {
    for (mail_driver* driver = held.drivers; driver; driver = driver->next) {
      if (void* answer = driver->parameters(code, value)) result = answer;
    }
  }
  if (void* answer = env_parameters(code, value)) result = answer;
  if (held.transport) {
    if (void* answer = held.transport(code, value)) result = answer;
  }
  return result;
}
