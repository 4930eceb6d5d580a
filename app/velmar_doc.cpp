#include "app/velmar_doc.h"

#include "model/box_file.h"
#include "ui/ui_wait_cursor.h"

CAletter* CVelmarDoc::current_letter() {
  return data_.current_letter();
}

std::unique_ptr<CAletter> CVelmarDoc::take_letter(std::size_t index) {
  if (index >= data_.letters.size()) return nullptr;
  std::unique_ptr<CAletter> letter = std::move(data_.letters[index]);
  data_.letters.erase(data_.letters.begin() + static_cast<std::ptrdiff_t>(index));
  return letter;
}

void CVelmarDoc::append_letter(std::unique_ptr<CAletter> letter) {
  data_.letters.push_back(std::move(letter));
}

bool CVelmarDoc::on_open_document(const std::string& path, std::string& reason) {
  ui_wait_cursor busy;  // a mailbox of thousands of letters takes a moment
  std::unique_ptr<CVelmarDocData> read = box_file_open(path, reason);
  if (!read) return false;
  data_ = std::move(*read);
  return true;
}

bool CVelmarDoc::on_save_document(const std::string& path, std::string& reason) {
  ui_wait_cursor busy;
  return box_file_save(path, data_, reason);
}

void CVelmarDoc::delete_contents() {
  data_.DeleteContents();
}
