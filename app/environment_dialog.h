#pragma once

#include "ui/ui_dialog.h"

// "运行环境设置": the operating environment, asked at every start; OK only.
class CEnvironmentDialog : public ui_dialog {
 public:
  explicit CEnvironmentDialog(QWidget* parent = nullptr);

  long environment = 0;  // 0 Windows 3.x, 1 Windows 95, 2 Windows NT

  // Without a Cancel button, Escape and the close box choose what is selected.
  void reject() override;

 protected:
  void on_init_dialog() override;
  bool on_ok() override;
};
