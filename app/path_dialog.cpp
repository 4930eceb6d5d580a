#include "app/path_dialog.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/resource_ids.h"

CPathDialog::CPathDialog(QWidget* parent) : ui_dialog(IDD_PATHS, "邮箱路径", parent) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(make_label(0, "文件名:"));
  auto* files = new QFormLayout;
  files->addRow(make_label(0, "Inbox"), make_edit(IDC_IN_PATH));
  files->addRow(make_label(0, "Outbox"), make_edit(IDC_OUT_PATH));
  files->addRow(make_label(0, "Trashbox"), make_edit(IDC_TRASH_PATH));
  layout->addLayout(files);
  layout->addWidget(make_label(0, "路径名:"));
  auto* folder = new QFormLayout;
  folder->addRow(make_label(0, "工作路径："), make_edit(IDC_WORK_DIRECTORY));
  layout->addLayout(folder);
  layout->addWidget(make_buttons("确定", std::string("取消")));
  edit(IDC_IN_PATH)->setMinimumWidth(320);
}

void CPathDialog::on_init_dialog() {
  set_text(IDC_IN_PATH, in_path);
  set_text(IDC_OUT_PATH, out_path);
  set_text(IDC_TRASH_PATH, trash_path);
  set_text(IDC_WORK_DIRECTORY, work_directory);
}

bool CPathDialog::on_ok() {
  in_path = text(IDC_IN_PATH);
  out_path = text(IDC_OUT_PATH);
  trash_path = text(IDC_TRASH_PATH);
  work_directory = text(IDC_WORK_DIRECTORY);
  return true;
}
