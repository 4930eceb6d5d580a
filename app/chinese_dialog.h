#pragma once

#include <string>

#include "ui/ui_dialog.h"

// "中文环境设置": which Chinese forms the screen shows (the platform) and the
// charset label of outgoing mail (the interchange code).
class CChineseDialog : public ui_dialog {
 public:
  explicit CChineseDialog(QWidget* parent = nullptr);

  long platform = 0;
  std::string interchange_code;

 protected:
  void on_init_dialog() override;
  bool on_ok() override;
};
