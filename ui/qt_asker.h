#pragma once

#include <QString>

#include "ui/ui_asker.h"

// The asker of the running program: real message boxes, file dialogs and
// dialogs, each modal over the active window.
class qt_asker : public ui_asker {
 public:
  int message_box(const std::string& text, unsigned style) override;
  std::optional<std::string> file_dialog(const ui_file_request& request) override;
  int run_dialog(ui_dialog& dialog) override;
  bool print_dialog(QPrinter& printer) override;
  bool page_setup_dialog(QPrinter& printer) override;
  void print_preview(QPrinter& printer,
                     const std::function<void(QPrinter& target)>& paint) override;
  std::unique_ptr<ui_progress> progress(const std::string& title) override;
};

// "Name (*.a)|*.a|All (*.*)|*.*||" as a Qt filter: "Name (*.a);;All (*.*)".
QString qt_file_filter(const std::string& filter);
