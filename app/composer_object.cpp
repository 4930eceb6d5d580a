#include "app/composer_object.h"

#include "media/object_servers.h"

composer_object::~composer_object() {
  delete_item(container_, item_);
}

std::string composer_object::type_name() const {
  return item_.GetTypeName();
}

std::string composer_object::display_name() const {
  return item_.display_name();
}

void composer_object::set_display_name(std::string_view name) {
  item_.set_display_name(name);
}

compose_item composer_object::data(long environment) {
  compose_item part{item_.GetMimeType(), item_.GetSubtype(), std::nullopt};
  // A setting out of range stays out of range, for the getter to refuse.
  const int layout = environment >= 0 && environment <= 2 ? static_cast<int>(environment) : -1;
  if (std::optional<memory_block> bytes = item_.Get(layout, kind_of_subtype(part.subtype)))
    part.data = std::string(reinterpret_cast<const char*>(bytes->data()), bytes->size());
  return part;
}

bool composer_object::open() {
  return container_.servers.DoVerb(item_, kVerbOpen);
}

void composer_object::close_shown() {
  container_.servers.close_shown(item_);
}
