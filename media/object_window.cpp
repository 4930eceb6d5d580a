#include "media/object_window.h"

#include <QCloseEvent>

#include "model/cntr_item.h"
#include "ui/ui_text.h"

object_window::object_window(CVelmarCntrItem& item) : QWidget(nullptr, Qt::Window), item_(item) {
  setAttribute(Qt::WA_DeleteOnClose);
  item_.open = true;
  std::string title = item.GetTypeName();
  if (!item.display_name().empty()) title += " - " + item.display_name();
  setWindowTitle(qstr(title));
}

object_window::~object_window() {
  item_.open = false;
}

void object_window::update_item() {
  if (!changed_) return;
  item_.set_object({item_.GetTypeName(), current_file()});
  changed_ = false;
  item_.OnChange();
}

void object_window::closeEvent(QCloseEvent* event) {
  update_item();
  item_.open = false;
  QWidget::closeEvent(event);
}
