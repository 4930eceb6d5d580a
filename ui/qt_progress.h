#pragma once

#include <QDialog>
#include <QElapsedTimer>

#include "ui/ui_progress.h"

class QLabel;

// The progress window of the running program: a text and a Cancel button,
// modal over the program while the job runs. The job lets it answer by
// asking whether it was cancelled.
class qt_progress : public QDialog, public ui_progress {
 public:
  qt_progress(QWidget* owner, const QString& title);

  void show_text(const std::string& text) override;
  bool cancelled() override;

 protected:
  void reject() override;

 private:
  void answer();

  QLabel* text_;
  bool cancelled_ = false;
  QElapsedTimer since_answer_;
};
