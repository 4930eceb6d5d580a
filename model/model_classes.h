#pragma once

#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "platform/archive.h"

// The classes of the letter model that a mailbox file may hold, for the
// loading archive to make objects from their stored names.
std::span<const archive_class* const> model_classes();

// Makes an empty object of a model class (the create function of its record).
template <class T>
std::unique_ptr<archive_object> make_model_object() {
  return std::make_unique<T>();
}

// An object list of the model: the count of items, then each item through an
// object reference. Every item belongs to the list alone; an empty place is
// not stored, and reading one is a fault named after `what`.
template <class Item>
void serialize_items(archive& ar, std::vector<std::unique_ptr<Item>>& items,
                     std::string_view what) {
  if (ar.storing()) {
    std::size_t count = 0;
    for (const auto& item : items)
      count += item != nullptr;
    ar.write_count(count);
    for (const auto& item : items) {
      if (item) ar.write_object(item.get());
    }
    return;
  }
  items.clear();
  const std::uint32_t count = ar.read_count();
  for (std::uint32_t i = 0; i < count && !ar.failed(); ++i) {
    std::unique_ptr<Item> item = archive_read_owned<Item>(ar, what);
    if (!item) {
      ar.fail("an empty place where " + std::string(what) + " must be");
      return;
    }
    items.push_back(std::move(item));
  }
}
