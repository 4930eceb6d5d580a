#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ui/ui_progress.h"

class QPrinter;
class ui_dialog;

// What a file dialog asks for.
struct ui_file_request {
  bool open = true;       // Open, else Save As
  std::string title;      // "Open", "Save As"
  std::string file_name;  // proposed: a path, or a name in the current folder
  std::string filter;     // "Name (*.box)|*.box|All Files (*.*)|*.*||"
  std::string extension;  // added to a typed name without one, without the dot
  bool overwrite_prompt = false;
};

// Everything that asks the user goes through one asker: message boxes, file
// dialogs and the program's dialogs. The program shows real windows; tests put
// in an asker that answers from a script and records every text shown.
class ui_asker {
 public:
  virtual ~ui_asker() = default;

  // Shows the UTF-8 text with the MB_ buttons and icon of style; returns the
  // ID of the button pressed (IDOK for a box with only OK).
  virtual int message_box(const std::string& text, unsigned style) = 0;

  // The chosen file's host path, nothing when the user cancels.
  virtual std::optional<std::string> file_dialog(const ui_file_request& request) = 0;

  // Runs a prepared dialog until it ends: IDOK after the dialog took its
  // controls' values (ui_dialog::try_ok), IDCANCEL otherwise.
  virtual int run_dialog(ui_dialog& dialog) = 0;

  // The print dialog: the printer chosen and set up; false when the user
  // cancels.
  virtual bool print_dialog(QPrinter& printer) = 0;
  // The page setup of the printer; false when the user cancels.
  virtual bool page_setup_dialog(QPrinter& printer) = 0;
  // A preview of the pages paint draws, until the user closes it.
  virtual void print_preview(QPrinter& printer,
                             const std::function<void(QPrinter& target)>& paint) = 0;

  // Opens the window of a long job with its title; it closes when destroyed.
  virtual std::unique_ptr<ui_progress> progress(const std::string& title) = 0;
};

// The asker in force; the real windows until another is set.
ui_asker& ui_ask();

// Puts an asker in force (null: the real windows again); returns the old one.
ui_asker* ui_set_asker(ui_asker* asker);

// Shorthand for ui_ask().message_box.
int ui_message_box(const std::string& text, unsigned style = 0);
