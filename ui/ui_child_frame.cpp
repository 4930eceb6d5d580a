#include "ui/ui_child_frame.h"

#include <QCloseEvent>
#include <QMdiArea>

#include "ui/ui_application.h"
#include "ui/ui_document.h"
#include "ui/ui_main_frame.h"
#include "ui/ui_text.h"
#include "ui/ui_view.h"

ui_child_frame::ui_child_frame() {
  setAttribute(Qt::WA_DeleteOnClose);
}

ui_child_frame::~ui_child_frame() {
  // Leave the document before the view widget goes with this window.
  if (view_) view_->detach();
}

void ui_child_frame::set_view(ui_view* view) {
  view_ = view;
  setWidget(view->widget());
}

void ui_child_frame::set_caption(const std::string& caption) {
  caption_ = caption;
  update_caption();
}

void ui_child_frame::update_caption() {
  std::string title = caption_;
  ui_document* document = view_ ? view_->document() : nullptr;
  if (title.empty() && document) {
    title = document->title();
    const auto& views = document->views();
    if (views.size() > 1) {
      for (std::size_t i = 0; i < views.size(); ++i)
        if (views[i] == view_) title += ":" + std::to_string(i + 1);
    }
  }
  setWindowTitle(qstr(title));
  if (ui_application* application = ui_application::instance()) {
    if (ui_main_frame* main = application->main_frame()) main->update_title();
  }
}

void ui_child_frame::activate() {
  if (QMdiArea* area = mdiArea()) area->setActiveSubWindow(this);
  if (view_ && view_->widget()) view_->widget()->setFocus();
}

void ui_child_frame::close_quietly() {
  quiet_ = true;
  close();
}

void ui_child_frame::closeEvent(QCloseEvent* event) {
  if (!quiet_ && view_) view_->on_frame_closing();
  ui_document* document = view_ ? view_->document() : nullptr;
  if (!quiet_ && document && document->views().size() == 1 && !document->save_modified()) {
    event->ignore();
    return;
  }
  if (view_) view_->detach();
  QMdiSubWindow::closeEvent(event);
}
