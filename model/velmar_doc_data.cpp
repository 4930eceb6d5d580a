#include "model/velmar_doc_data.h"

#include "model/model_classes.h"

namespace {

constexpr std::uint16_t kNoLetter = 0xFFFF;

}  // namespace

void CVelmarDocData::Serialize(archive& ar) {
  serialize_items(ar, letters, "a letter");
  if (ar.storing()) {
    ar << std::string_view(mailbox_name);
    const bool storable = current >= 0 && current < kNoLetter;
    ar << (storable ? static_cast<std::uint16_t>(current) : kNoLetter);
    return;
  }
  ar >> mailbox_name;
  // The index was written from a 32-bit number; more than 32767 letters
  // make it pass 0x7FFF, so it is read without a sign.
  const std::uint16_t stored = ar.read_u16();
  current = stored == kNoLetter || stored >= letters.size() ? -1 : stored;
}

void CVelmarDocData::DeleteContents() {
  letters.clear();
  items.clear();
  current = -1;
}

CAletter* CVelmarDocData::current_letter() {
  if (current < 0 || static_cast<std::size_t>(current) >= letters.size()) return nullptr;
  return letters[static_cast<std::size_t>(current)].get();
}
