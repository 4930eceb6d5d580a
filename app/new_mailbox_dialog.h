#pragma once

#include <string>

#include "ui/ui_dialog.h"

// "新建邮箱": the name of a new user mailbox, at most 8 characters.
class CNewMailboxDialog : public ui_dialog {
 public:
  explicit CNewMailboxDialog(QWidget* parent = nullptr);

  std::string name;

 protected:
  void on_init_dialog() override;
  bool on_ok() override;
};

inline constexpr int kMailboxNameLimit = 8;
