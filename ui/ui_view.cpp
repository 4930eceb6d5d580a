#include "ui/ui_view.h"

#include "ui/ui_document.h"
#include "ui/ui_ids.h"
#include "ui/ui_print.h"

ui_view::~ui_view() {
  detach();
}

void ui_view::on_initial_update() {
  on_update(nullptr, 0);
}

void ui_view::on_update(ui_view*, long) {}

void ui_view::attach(ui_document* document, ui_child_frame* frame) {
  document_ = document;
  frame_ = frame;
  if (document_) document_->add_view(this);
}

void ui_view::detach() {
  ui_document* document = document_;
  document_ = nullptr;
  if (document) document->remove_view(this);
}

void ui_view::on_file_print(std::function<ui_print_text()> text) {
  on_command(ID_FILE_PRINT, [text] { ui_print(text()); });
  on_command(ID_FILE_PRINT_PREVIEW, [text] { ui_print_preview(text()); });
}
