#pragma once

#include "app/mailbox_choice_dialog.h"
#include "app/resource_ids.h"

// "移动信件": "In", "Out", "Trash" and the user mailboxes, sorted.
class CMoveDialog : public CMailboxChoiceDialog {
 public:
  explicit CMoveDialog(QWidget* parent = nullptr)
      : CMailboxChoiceDialog(IDD_MOVE, "移动信件", "移动", true, parent) {}
};
