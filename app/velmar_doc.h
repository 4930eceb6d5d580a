#pragma once

#include <memory>
#include <string>

#include "model/velmar_doc_data.h"
#include "ui/ui_document.h"

// A mailbox: its letters, its name and its current letter, kept in a .box
// file. Every window on a mailbox is a view of this document.
class CVelmarDoc : public ui_document {
 public:
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

 private:
  CVelmarDocData data_;
};
