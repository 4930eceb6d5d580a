#include "ui/qt_progress.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/ui_dialog.h"
#include "ui/ui_text.h"

namespace {

// Often enough to feel alive, seldom enough to cost nothing.
constexpr int kAnswerMilliseconds = 50;

}  // namespace

qt_progress::qt_progress(QWidget* owner, const QString& title) : QDialog(owner) {
  ui_dialog::apply_colors(this);
  setWindowTitle(title);
  setWindowModality(Qt::ApplicationModal);
  auto* layout = new QVBoxLayout(this);
  text_ = new QLabel;
  text_->setMinimumWidth(320);
  layout->addWidget(text_);
  auto* buttons = new QDialogButtonBox;
  buttons->addButton(qstr("取消"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::rejected, this, [this] { cancelled_ = true; });
  layout->addWidget(buttons);
  show();
  since_answer_.start();
  QCoreApplication::processEvents();
}

void qt_progress::show_text(const std::string& text) {
  text_->setText(qstr(text));
  answer();
}

bool qt_progress::cancelled() {
  answer();
  return cancelled_;
}

void qt_progress::answer() {
  if (since_answer_.elapsed() < kAnswerMilliseconds) return;
  since_answer_.restart();
  QCoreApplication::processEvents();
}

void qt_progress::reject() {
  // Escape and the window's close box ask to stop like Cancel; the window
  // stays until the job has stopped.
  cancelled_ = true;
}
