#pragma once

#include <functional>

#include "ui/ui_command_target.h"

class QWidget;
class ui_child_frame;
class ui_document;
struct ui_print_text;

// A view shows a document in a child frame. The class that derives from it is
// also a widget (widget() returns it); the frame owns the widget.
class ui_view : public ui_command_target {
 public:
  ui_view() = default;
  ~ui_view() override;
  ui_view(const ui_view&) = delete;
  ui_view& operator=(const ui_view&) = delete;

  virtual QWidget* widget() = 0;

  ui_document* document() const { return document_; }
  ui_child_frame* frame() const { return frame_; }

  // Once, after the frame and the document are in place; updates the view.
  virtual void on_initial_update();
  // The document changed; sender is the view that changed it.
  virtual void on_update(ui_view* sender, long hint);
  // The user closes the view's frame: windows that belong to this view go
  // first, so that the save question sees what stays.
  virtual void on_frame_closing() {}

  // Joins a document and a frame; leaving detaches from the document (which
  // closes when this was its last view).
  void attach(ui_document* document, ui_child_frame* frame);
  void detach();

 protected:
  // File Print and Print Preview print what text gives.
  void on_file_print(std::function<ui_print_text()> text);

 private:
  ui_document* document_ = nullptr;
  ui_child_frame* frame_ = nullptr;
};
