#pragma once

#include <string>

#include "model/outgoing_letter.h"

// A picture or sound embedded in a letter being written, one line of the
// composer's multimedia list.
class composer_item {
 public:
  virtual ~composer_item() = default;
  // Its type name ("Bitmap", "WAV"), which names its line.
  virtual std::string name() const = 0;
  // Its part of the letter: type, subtype and data, stored the way the
  // operating environment (0, 1 or 2) asks.
  virtual compose_item data(long environment) = 0;
  // Opens it in a window of its own; false when it cannot.
  virtual bool open() = 0;
};
