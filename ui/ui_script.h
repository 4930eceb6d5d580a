#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/ui_asker.h"

// An asker that answers from a script and records every question, word for
// word, so a test can drive the program as a user would and read back what it
// was shown. Message boxes with only OK need no answer. A question the script
// has no answer for is recorded as unanswered and cancelled.
class ui_script : public ui_asker {
 public:
  // A dialog answer: sets the controls and says whether to press OK (true)
  // or Cancel (false). When the dialog refuses OK, the next answer for the
  // same dialog continues it.
  using dialog_answer = std::function<bool(ui_dialog& dialog)>;

  // Puts itself in force for its lifetime.
  ui_script();
  ~ui_script() override;

  // Answers in the order the questions will come.
  ui_script& answer(int id);  // IDYES, IDNO, IDOK, IDCANCEL for a message box
  ui_script& answer_file(std::optional<std::string> path);
  ui_script& answer_dialog(int resource, dialog_answer fill);
  ui_script& press_ok(int resource);
  ui_script& press_cancel(int resource);
  // The print dialog and the page setup: OK with printing going to this PDF
  // file, or Cancel.
  ui_script& answer_print(std::optional<std::string> pdf);
  // Print Preview: its pages drawn into this PDF file, then closed.
  ui_script& answer_preview(std::string pdf);
  // Presses a progress window's Cancel once it has shown a text that starts
  // with the given one.
  ui_script& cancel_progress_at(std::string text);

  // What was shown, one line each:
  //   "message TEXT [YES|NO|CANCEL|OK buttons, e.g. \"yes no\"]"
  //   "file open|save TITLE NAME FILTER"
  //   "dialog RESOURCE TITLE"
  //   "print", "page setup", "print preview"
  //   "progress TITLE", and "progress cancelled" when Cancel was pressed
  const std::vector<std::string>& shown() const { return shown_; }
  // The messages alone (their texts).
  std::vector<std::string> messages() const;
  // Every text the progress windows showed, in order.
  const std::vector<std::string>& progress_texts() const { return progress_texts_; }
  void clear_shown() {
    shown_.clear();
    message_texts_.clear();
  }

  // True when every answer was used and no question went unanswered.
  bool finished() const;
  // The questions nobody answered and the answers nobody asked for.
  std::string problems() const;

  int message_box(const std::string& text, unsigned style) override;
  std::optional<std::string> file_dialog(const ui_file_request& request) override;
  int run_dialog(ui_dialog& dialog) override;
  bool print_dialog(QPrinter& printer) override;
  bool page_setup_dialog(QPrinter& printer) override;
  void print_preview(QPrinter& printer,
                     const std::function<void(QPrinter& target)>& paint) override;
  std::unique_ptr<ui_progress> progress(const std::string& title) override;

 private:
  class scripted_progress;

  struct entry {
    enum class kind { message, file, dialog, print, preview } what;
    int id = 0;
    std::optional<std::string> path;
    dialog_answer fill;
  };
  std::optional<entry> take(entry::kind what, const std::string& question);
  bool print_answer(QPrinter& printer, const std::string& question);

  ui_asker* previous_;
  std::deque<entry> answers_;
  std::vector<std::string> shown_;
  std::vector<std::string> message_texts_;
  std::vector<std::string> unanswered_;
  std::vector<std::string> progress_texts_;
  std::optional<std::string> cancel_at_;
};
