#include "app/fetch_dialog.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/resource_ids.h"

CFetchDialog::CFetchDialog(QWidget* parent) : ui_dialog(IDD_FETCH, "取邮件", parent) {
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  form->addRow(make_label(IDC_FETCH_USER_LABEL, "请键入用户名"), make_edit(IDC_ACCOUNT));
  QLineEdit* password_edit = make_edit(IDC_FETCH_PASSWORD);
  password_edit->setEchoMode(QLineEdit::Password);
  form->addRow(make_label(IDC_FETCH_PASSWORD_LABEL, "口令"), password_edit);
  layout->addLayout(form);
  layout->addWidget(make_check_box(IDC_FETCH_DELETE, "删除服务方邮件"));
  layout->addWidget(make_buttons("确定", std::string("取消")));
  edit(IDC_ACCOUNT)->setMinimumWidth(240);
}

void CFetchDialog::on_init_dialog() {
  set_text(IDC_ACCOUNT, account);
  set_text(IDC_FETCH_PASSWORD, password);
  set_checked(IDC_FETCH_DELETE, delete_on_server);
  edit(IDC_FETCH_PASSWORD)->setFocus();
}

bool CFetchDialog::on_ok() {
  password = text(IDC_FETCH_PASSWORD);
  delete_on_server = checked(IDC_FETCH_DELETE);
  return true;
}
