#pragma once

#include "app/mailbox_choice_dialog.h"
#include "app/resource_ids.h"

// "删除邮箱": the user mailboxes in table order.
class CDeleteMailboxDialog : public CMailboxChoiceDialog {
 public:
  explicit CDeleteMailboxDialog(QWidget* parent = nullptr)
      : CMailboxChoiceDialog(IDD_DELETE_MAILBOX, "删除邮箱", "删除", false, parent) {}
};
