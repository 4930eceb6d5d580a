// kestrel: the desktop program.
#include <stdlib.h>

#include <QApplication>
#include <QTranslator>
#include <cstdio>

#include "app/language.h"
#include "app/velmar_app.h"
#include "platform/profile_file.h"
#include "ui/ui_text.h"

#if KESTREL_HAVE_X11
#include <X11/Xlib.h>
#endif

namespace {

bool set(const char* name) {
  const char* value = getenv(name);
  return value && *value;
}

// Qt stops the program with an obscure message when it finds no display;
// say plainly what is missing first.
bool display_reachable() {
  if (set("QT_QPA_PLATFORM") || set("WAYLAND_DISPLAY")) return true;
  if (!set("DISPLAY")) {
    std::fputs(
        "kestrel: there is no display to open its windows on (DISPLAY is not set).\n"
        "Start it from a desktop session, under a virtual display (xvfb-run kestrel),\n"
        "or use the command-line program kestrel-mail.\n",
        stderr);
    return false;
  }
#if KESTREL_HAVE_X11
  if (Display* display = XOpenDisplay(nullptr)) {
    XCloseDisplay(display);
    return true;
  }
  std::fprintf(stderr, "kestrel: cannot open the display %s.\n", getenv("DISPLAY"));
  return false;
#else
  return true;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  if (!display_reachable()) return 1;
  QApplication qt(argc, argv);
  QApplication::setApplicationName("Kestrel");
  QTranslator translator;
  install_qt_translation(translator);

  std::vector<std::string> files;
  QStringList arguments = QApplication::arguments();
  for (qsizetype i = 1; i < arguments.size(); ++i)
    files.push_back(utf8(arguments[i]));

  CVelmarApp app;
  if (!app.init_instance(files, profile_file::default_path())) return 1;
  return QApplication::exec();
}
