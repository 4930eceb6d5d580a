// Writes the program's icon for the desktop's icon theme:
//   make_icon DIR    ->  DIR/SIZExSIZE/apps/kestrel.png for each size
#include <stdlib.h>

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "app/program_icon.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_icon DIR\n", stderr);
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication application(argc, argv);
  for (int side : {16, 24, 32, 48, 64, 128, 256}) {
    const QString folder = QString("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(side);
    if (!QDir().mkpath(folder) || !program_icon_pixmap(side).save(folder + "/kestrel.png")) {
      std::fprintf(stderr, "make_icon: cannot write %s/kestrel.png\n", qPrintable(folder));
      return 1;
    }
  }
  return 0;
}
