#include "app/network_dialog.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/resource_ids.h"
#include "ui/ui_text.h"

namespace {

constexpr int kLinkButtons[] = {IDC_LINK_7BIT, IDC_LINK_8BIT, IDC_LINK_NETWORK};

}  // namespace

CNetworkDialog::CNetworkDialog(QWidget* parent) : ui_dialog(IDD_NETWORK, "网络配置", parent) {
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  form->addRow(make_label(0, "IMAP 帐号  :"), make_edit(IDC_ACCOUNT));
  form->addRow(make_label(0, "真实姓名   :"), make_edit(IDC_REAL_NAME));
  form->addRow(make_label(0, "SMTP 服务器:"), make_edit(IDC_SMTP_SERVER));
  form->addRow(make_label(0, "回邮地址   :"), make_edit(IDC_RETURN_ADDRESS));
  layout->addLayout(form);

  // Kept and shown only: nothing checks mail by the clock, and the composer
  // alone uses the transfer mode.
  auto* interval = new QHBoxLayout;
  QLabel* interval_label = make_label(0, "检查邮件时间间隔 :");
  QLineEdit* interval_edit = make_edit(IDC_CHECK_INTERVAL);
  QLabel* minutes = make_label(0, "分钟");
  interval_edit->setMaximumWidth(60);
  for (QWidget* widget : {static_cast<QWidget*>(interval_label),
                          static_cast<QWidget*>(interval_edit), static_cast<QWidget*>(minutes)}) {
    widget->setEnabled(false);
    interval->addWidget(widget);
  }
  interval->addStretch(1);
  layout->addLayout(interval);

  auto* links = new QHBoxLayout;
  auto* group = new QButtonGroup(this);
  const char* names[] = {"7位传送", "8位传送", "网络传送"};
  for (int i = 0; i < 3; ++i) {
    QRadioButton* button = make_radio(group, kLinkButtons[i], names[i]);
    button->setEnabled(false);
    links->addWidget(button);
  }
  links->addStretch(1);
  layout->addLayout(links);
  layout->addWidget(make_buttons("确定", std::string("取消")));
  edit(IDC_ACCOUNT)->setMinimumWidth(260);
}

void CNetworkDialog::on_init_dialog() {
  set_text(IDC_ACCOUNT, account);
  set_text(IDC_REAL_NAME, real_name);
  set_text(IDC_SMTP_SERVER, smtp_server);
  set_text(IDC_RETURN_ADDRESS, return_address);
  set_text(IDC_CHECK_INTERVAL, std::to_string(check_interval));
  int mode = transfer_mode >= 0 && transfer_mode < 3 ? transfer_mode : 0;
  set_checked(kLinkButtons[mode], true);
}

bool CNetworkDialog::on_ok() {
  std::optional<long> interval = take_int(IDC_CHECK_INTERVAL);
  if (!interval) return false;
  account = text(IDC_ACCOUNT);
  real_name = text(IDC_REAL_NAME);
  smtp_server = text(IDC_SMTP_SERVER);
  return_address = text(IDC_RETURN_ADDRESS);
  check_interval = *interval;
  for (int i = 0; i < 3; ++i)
    if (checked(kLinkButtons[i])) transfer_mode = i;
  return true;
}
