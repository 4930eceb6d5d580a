#pragma once

#include <string>

#include "ui/ui_dialog.h"

// "网络配置": the account, the personal name, the SMTP server and the return
// address; the check interval and the transfer mode are shown but disabled.
class CNetworkDialog : public ui_dialog {
 public:
  explicit CNetworkDialog(QWidget* parent = nullptr);

  std::string account;
  std::string real_name;
  std::string smtp_server;
  std::string return_address;
  long check_interval = 10;
  int transfer_mode = 0;  // the selected radio button: 0 7-bit, 1 8-bit, 2 network

 protected:
  void on_init_dialog() override;
  bool on_ok() override;
};
