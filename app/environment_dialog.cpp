#include "app/environment_dialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QVBoxLayout>

#include "app/resource_ids.h"

namespace {

constexpr int kSystemButtons[] = {IDC_SYSTEM_WIN3, IDC_SYSTEM_WIN95, IDC_SYSTEM_NT};

}  // namespace

CEnvironmentDialog::CEnvironmentDialog(QWidget* parent)
    : ui_dialog(IDD_ENVIRONMENT, "运行环境设置", parent) {
  auto* layout = new QVBoxLayout(this);
  QGroupBox* box = make_group("您的操作平台");
  auto* choices = new QVBoxLayout(box);
  auto* group = new QButtonGroup(this);
  const char* names[] = {"Microsoft Windows 3.**", "Microsoft Windows 95", "Microsoft Windows NT"};
  for (int i = 0; i < 3; ++i)
    choices->addWidget(make_radio(group, kSystemButtons[i], names[i]));
  layout->addWidget(box);
  layout->addWidget(make_buttons("确定", std::nullopt));
}

void CEnvironmentDialog::on_init_dialog() {
  if (environment >= 0 && environment < 3) set_checked(kSystemButtons[environment], true);
}

bool CEnvironmentDialog::on_ok() {
  for (int i = 0; i < 3; ++i)
    if (checked(kSystemButtons[i])) environment = i;
  return true;
}

void CEnvironmentDialog::reject() {
  accept();
}
