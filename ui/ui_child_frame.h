#pragma once

#include <QMdiSubWindow>
#include <string>

#include "ui/ui_command_target.h"

class ui_doc_template;
class ui_view;

// A window inside the main frame holding one view. Closing the last frame of
// a document asks whether to save it first.
class ui_child_frame : public QMdiSubWindow, public ui_command_target {
 public:
  ui_child_frame();
  ~ui_child_frame() override;

  ui_view* view() const { return view_; }
  void set_view(ui_view* view);
  ui_doc_template* doc_template() const { return template_; }
  void set_doc_template(ui_doc_template* doc_template) { template_ = doc_template; }

  // A caption of the frame's own instead of the document's title.
  void set_caption(const std::string& caption);
  // The document's title, with ":n" when it has several frames.
  void update_caption();

  // Brings the frame to the front and makes its view the active view.
  void activate();

  // Closes without asking (the document is closing).
  void close_quietly();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  ui_view* view_ = nullptr;
  ui_doc_template* template_ = nullptr;
  std::string caption_;
  bool quiet_ = false;
};
