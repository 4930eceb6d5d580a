#pragma once

#include "letter/composer_item.h"
#include "media/item_commands.h"

// An embedded item of the mailbox document a letter is written on, one line
// of the composer's multimedia list. The item lives in the document as long
// as the line does: deleting the line, or closing the composer, takes it out
// with its object and its window, so that a sent letter's pictures do not
// pile up in the mailbox.
class composer_object : public composer_item {
 public:
  composer_object(const item_container& container, CVelmarCntrItem& item)
      : container_(container), item_(item) {}
  ~composer_object() override;
  composer_object(const composer_object&) = delete;
  composer_object& operator=(const composer_object&) = delete;

  std::string type_name() const override;
  std::string display_name() const override;
  void set_display_name(std::string_view name) override;
  // Its part: the item's MIME type and subtype, and the file its getter for
  // the environment takes out (a bitmap, a wave, or its stored form).
  compose_item data(long environment) override;
  bool open() override;
  void close_shown() override;

 private:
  item_container container_;
  CVelmarCntrItem& item_;
};
