#pragma once

#include <string>

#include "ui/ui_dialog.h"

// "Insert Object": the kind of object, and whether to make a new one or one
// from a file.
class CInsertObjectDialog : public ui_dialog {
 public:
  explicit CInsertObjectDialog(QWidget* parent = nullptr);

  int type = 0;  // a line of the list: 0 "Paintbrush Picture", 1 "Sound"
  bool from_file = false;
  std::string file;

 protected:
  void on_init_dialog() override;
  // Refuses a missing file.
  bool on_ok() override;

 private:
  void browse();
};

// The object types the dialog offers, in its list's order.
inline constexpr const char* kObjectTypes[] = {"Paintbrush Picture", "Sound"};
inline constexpr const char* kNoSuchFile = "The file cannot be found: %1";
