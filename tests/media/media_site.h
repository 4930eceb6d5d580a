#pragma once

#include <string>
#include <vector>

#include "media/private_format.h"
#include "model/cntr_item.h"

// A document for items in a test: the real clipboard, messages and changes
// counted.
class media_site : public item_site {
 public:
  void document_changed() override { ++changes; }
  void tell(const std::string& message) override { told.push_back(message); }
  bool copy_to_clipboard(const CVelmarCntrItem& item, const std::string& stored_form) override {
    return copy_item_to_clipboard(item, stored_form);
  }
  std::optional<std::string> private_clipboard_data() override {
    return ::private_clipboard_data();
  }

  int changes = 0;
  std::vector<std::string> told;
};
