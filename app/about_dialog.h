#pragma once

#include "ui/ui_dialog.h"

// "关于 Kestrel": the program's name and version.
class CAboutDialog : public ui_dialog {
 public:
  explicit CAboutDialog(QWidget* parent = nullptr);
};
