#include "ui/qt_asker.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "ui/qt_progress.h"
#include "ui/ui_application.h"
#include "ui/ui_dialog.h"
#include "ui/ui_ids.h"
#include "ui/ui_text.h"

namespace {

QWidget* owner() {
  return QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                           : QApplication::activeWindow();
}

QString caption() {
  ui_application* application = ui_application::instance();
  return qstr(application ? application->name() : "Kestrel");
}

}  // namespace

QString qt_file_filter(const std::string& filter) {
  QStringList parts = qstr(filter).split('|');
  QStringList names;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) break;
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    // Qt reads the patterns from the parentheses of the name.
    names << (parts[i].contains('(') ? parts[i] : parts[i] + " (" + patterns + ")");
  }
  return names.join(";;");
}

int qt_asker::message_box(const std::string& text, unsigned style) {
  QMessageBox box(owner());
  ui_dialog::apply_colors(&box);
  box.setWindowTitle(caption());
  box.setText(qstr(text));
  switch (style & 0xF0) {
    case MB_ICONSTOP:
      box.setIcon(QMessageBox::Critical);
      break;
    case MB_ICONQUESTION:
      box.setIcon(QMessageBox::Question);
      break;
    case MB_ICONEXCLAMATION:
      box.setIcon(QMessageBox::Warning);
      break;
    case MB_ICONINFORMATION:
      box.setIcon(QMessageBox::Information);
      break;
    default:
      break;
  }
  switch (style & 0x0F) {
    case MB_OKCANCEL:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case MB_YESNOCANCEL:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
    case MB_YESNO:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    default:
      box.setStandardButtons(QMessageBox::Ok);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Yes:
      return IDYES;
    case QMessageBox::No:
      return IDNO;
    case QMessageBox::Cancel:
      return IDCANCEL;
    case QMessageBox::Ok:
      return IDOK;
    default:
      // Closed by its frame: a Yes/No box means No, every other box Cancel.
      if ((style & 0x0F) == MB_YESNO) return IDNO;
      return (style & 0x0F) == MB_OK ? IDOK : IDCANCEL;
  }
}

std::optional<std::string> qt_asker::file_dialog(const ui_file_request& request) {
  QFileDialog dialog(owner(), qstr(request.title));
  dialog.setNameFilter(qt_file_filter(request.filter));
  dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog.setFileMode(request.open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  if (!request.extension.empty()) dialog.setDefaultSuffix(qstr(request.extension));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwrite_prompt);
  if (!request.file_name.empty()) {
    QFileInfo proposed(qstr(request.file_name));
    if (proposed.path() != ".") dialog.setDirectory(proposed.absolutePath());
    dialog.selectFile(proposed.fileName());
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return utf8(dialog.selectedFiles().front());
}

int qt_asker::run_dialog(ui_dialog& dialog) {
  return dialog.exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

bool qt_asker::print_dialog(QPrinter& printer) {
  QPrintDialog dialog(&printer, owner());
  return dialog.exec() == QDialog::Accepted;
}

bool qt_asker::page_setup_dialog(QPrinter& printer) {
  QPageSetupDialog dialog(&printer, owner());
  return dialog.exec() == QDialog::Accepted;
}

void qt_asker::print_preview(QPrinter& printer,
                             const std::function<void(QPrinter& target)>& paint) {
  QPrintPreviewDialog dialog(&printer, owner());
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested,
                   [&paint](QPrinter* target) { paint(*target); });
  dialog.exec();
}

std::unique_ptr<ui_progress> qt_asker::progress(const std::string& title) {
  return std::make_unique<qt_progress>(owner(), qstr(title));
}
