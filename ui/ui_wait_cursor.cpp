#include "ui/ui_wait_cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace {

int shown = 0;

}  // namespace

ui_wait_cursor::ui_wait_cursor() {
  if (QGuiApplication::instance()) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  ++shown;
}

ui_wait_cursor::~ui_wait_cursor() {
  if (QGuiApplication::instance()) QGuiApplication::restoreOverrideCursor();
  --shown;
}

int ui_wait_cursor::depth() {
  return shown;
}
