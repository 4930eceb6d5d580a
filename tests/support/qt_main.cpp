// The main of the widget tests: one application object for the whole run,
// offscreen unless a platform is named.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QString>

#include "platform/scratch_directory.h"

namespace {

// The offscreen platform says so whenever a window is shown.
void quiet_messages(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (text.contains("propagateSizeHints")) return;
  fprintf(stderr, "%s%s\n", type == QtDebugMsg ? "" : "Qt: ", qPrintable(text));
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  qInstallMessageHandler(quiet_messages);
  QApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  // The scratch files that items made went with their use; their folder goes too.
  scratch_directory_remove();
  return result;
}
