#include "app/velmar_doc.h"

#include "media/object_servers.h"
#include "media/private_format.h"
#include "model/box_file.h"
#include "ui/ui_asker.h"
#include "ui/ui_ids.h"
#include "ui/ui_wait_cursor.h"

CVelmarDoc::CVelmarDoc(object_servers& servers) : servers_(servers) {
  // The items' clipboard format is known from the first mailbox on.
  private_clipboard_format();
}

CVelmarDoc::~CVelmarDoc() {
  close_item_windows();
}

void CVelmarDoc::close_item_windows() {
  for (auto& item : data_.items)
    servers_.forget(*item);
}

void CVelmarDoc::tell(const std::string& message) {
  ui_message_box(message, MB_OK);
}

bool CVelmarDoc::copy_to_clipboard(const CVelmarCntrItem& item, const std::string& stored_form) {
  return copy_item_to_clipboard(item, stored_form);
}

std::optional<std::string> CVelmarDoc::private_clipboard_data() {
  return ::private_clipboard_data();
}

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
  close_item_windows();
  data_ = std::move(*read);
  for (auto& item : data_.items)
    item->set_site(this);
  return true;
}

bool CVelmarDoc::on_save_document(const std::string& path, std::string& reason) {
  ui_wait_cursor busy;
  return box_file_save(path, data_, reason);
}

void CVelmarDoc::delete_contents() {
  close_item_windows();
  data_.DeleteContents();
}
