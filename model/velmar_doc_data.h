#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/aletter.h"
#include "model/cntr_item.h"
#include "platform/archive.h"

// What a mailbox document holds: its name, its current letter and its
// letters, and their stored form (the "Contents" stream of its file): the
// letter list, the name, and the current index in 16 bits (0xFFFF for none).
class CVelmarDocData {
 public:
  // Writes the stored form when the archive is storing, reads it otherwise.
  // Reading takes a current index the list cannot have as none.
  void Serialize(archive& ar);

  // Removes every letter and item.
  void DeleteContents();

  // The current letter, null when there is none.
  CAletter* current_letter();

  std::string mailbox_name;   // "IN", "OUT", "TRASH" or a user mailbox's name
  std::int32_t current = -1;  // index into letters, -1 for none
  std::vector<std::unique_ptr<CAletter>> letters;
  // The embedded objects, kept in storages of the file beside "Contents".
  std::vector<std::unique_ptr<CVelmarCntrItem>> items;
};
