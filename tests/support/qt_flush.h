#pragma once

#include <QCoreApplication>
#include <QEvent>

// Lets the closed windows and documents go, as the event loop would.
inline void qt_flush() {
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
