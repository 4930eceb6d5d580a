#pragma once

#include <string>
#include <vector>

#include "ui/ui_dialog.h"

// A list of mailbox names to choose one from: the base of the delete and move
// dialogs. It gives the selected name and its line, -1 for no selection.
class CMailboxChoiceDialog : public ui_dialog {
 public:
  CMailboxChoiceDialog(int resource, const std::string& title, const std::string& ok_text,
                       bool sorted, QWidget* parent);

  std::vector<std::string> names;  // the lines, in the order given
  std::string chosen;
  int chosen_index = -1;

 protected:
  void on_init_dialog() override;
  bool on_ok() override;
};
