#pragma once

#include <memory>
#include <string>

#include "model/velmar_doc_data.h"
#include "ui/ui_document.h"

class object_servers;

// A mailbox: its letters, its name, its current letter and its embedded
// items, kept in a .box file. Every window on a mailbox is a view of this
// document.
class CVelmarDoc : public ui_document, public item_site {
 public:
  // The items' windows come from the servers given.
  explicit CVelmarDoc(object_servers& servers);
  ~CVelmarDoc() override;

  CVelmarDocData& data() { return data_; }
  const CVelmarDocData& data() const { return data_; }

  // The current letter, or null when there is none (or the index is stale).
  CAletter* current_letter();

  // Takes a letter out of the list (to hand it to another mailbox).
  std::unique_ptr<CAletter> take_letter(std::size_t index);
  void append_letter(std::unique_ptr<CAletter> letter);

  bool on_open_document(const std::string& path, std::string& reason) override;
  bool on_save_document(const std::string& path, std::string& reason) override;
  void delete_contents() override;

  // What the items ask of their document.
  void document_changed() override { set_modified(); }
  void tell(const std::string& message) override;
  bool copy_to_clipboard(const CVelmarCntrItem& item, const std::string& stored_form) override;
  std::optional<std::string> private_clipboard_data() override;

 private:
  // Closes the items' windows before the items go.
  void close_item_windows();

  object_servers& servers_;
  CVelmarDocData data_;
};
