#pragma once

#include <string>

#include "ui/ui_dialog.h"

// "邮箱路径": the files of the In, Out and Trash mailboxes and the work
// directory, which holds the user mailboxes and the fonts.
class CPathDialog : public ui_dialog {
 public:
  explicit CPathDialog(QWidget* parent = nullptr);

  std::string in_path;
  std::string out_path;
  std::string trash_path;
  std::string work_directory;

 protected:
  void on_init_dialog() override;
  bool on_ok() override;
};
