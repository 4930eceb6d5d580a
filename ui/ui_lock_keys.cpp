#include "ui/ui_lock_keys.h"

#include <QGuiApplication>

#if KESTREL_HAVE_X11
#include <X11/XKBlib.h>
#endif

std::optional<unsigned> ui_lock_keys() {
#if KESTREL_HAVE_X11
  if (auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>()) {
    unsigned lamps = 0;
    if (Display* display = x11->display();
        display && XkbGetIndicatorState(display, XkbUseCoreKbd, &lamps) == Success) {
      // The core keyboard's lamps: Caps 1, Num 2, Scroll 4 on every X server.
      return lamps & (LOCK_CAPS | LOCK_NUM | LOCK_SCROLL);
    }
  }
#endif
  return std::nullopt;
}
