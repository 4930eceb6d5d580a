#pragma once

#include <string>

#include "ui/ui_dialog.h"

// "取邮件": shows the account, asks for the password and whether the letters
// taken leave the server. What is typed over the account is not used.
class CFetchDialog : public ui_dialog {
 public:
  explicit CFetchDialog(QWidget* parent = nullptr);

  std::string account;
  std::string password;
  bool delete_on_server = false;

 protected:
  void on_init_dialog() override;
  bool on_ok() override;
};
