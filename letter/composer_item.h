#pragma once

#include <string>
#include <string_view>

#include "model/outgoing_letter.h"

// A picture or sound embedded in a letter being written, one line of the
// composer's multimedia list. It goes, with its object, when it is deleted.
class composer_item {
 public:
  virtual ~composer_item() = default;
  // Its program's type name ("Paintbrush Picture", "Sound").
  virtual std::string type_name() const = 0;
  // The name its line shows.
  virtual std::string display_name() const = 0;
  virtual void set_display_name(std::string_view name) = 0;
  // Its part of the letter: type, subtype and data, taken out the way the
  // operating environment (0, 1 or 2) lays it out.
  virtual compose_item data(long environment) = 0;
  // Opens it in its program's window; false when it cannot.
  virtual bool open() = 0;
  // Closes the window a new object was shown in when it was inserted
  // (Escape), giving the object back; other windows stay.
  virtual void close_shown() = 0;
};
