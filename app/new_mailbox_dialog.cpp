#include "app/new_mailbox_dialog.h"

#include <QVBoxLayout>

#include "app/resource_ids.h"

CNewMailboxDialog::CNewMailboxDialog(QWidget* parent)
    : ui_dialog(IDD_NEW_MAILBOX, "新建邮箱", parent) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(make_label(IDC_NEW_CREATE_LABEL, "创建一个邮箱"));
  layout->addWidget(make_label(IDC_NEW_NAME_LABEL, "命名新邮箱"));
  layout->addWidget(make_edit(IDC_NEW_NAME));
  layout->addWidget(make_buttons("确定", std::string("取消")));
}

void CNewMailboxDialog::on_init_dialog() {
  set_text(IDC_NEW_NAME, name);
}

bool CNewMailboxDialog::on_ok() {
  if (!check_max_chars(IDC_NEW_NAME, kMailboxNameLimit)) return false;
  name = text(IDC_NEW_NAME);
  return true;
}
