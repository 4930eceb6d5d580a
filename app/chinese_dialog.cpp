#include "app/chinese_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/resource_ids.h"
#include "chinese/charset_labels.h"

namespace {

// The radio buttons of the choices US-ASCII, CN-GB, CN-BIG5, ISO-2022-CN and
// other, in the order of the charset choices.
constexpr int kCodeButtons[] = {IDC_CODE_US_ASCII, IDC_CODE_CN_GB, IDC_CODE_CN_BIG5,
                                IDC_CODE_ISO_2022_CN, IDC_CODE_OTHER};

}  // namespace

CChineseDialog::CChineseDialog(QWidget* parent) : ui_dialog(IDD_CHINESE, "中文环境设置", parent) {
  auto* layout = new QHBoxLayout(this);
  QGroupBox* platform_box = make_group("平台");
  auto* platform_layout = new QVBoxLayout(platform_box);
  platform_layout->addWidget(make_check_box(IDC_PLATFORM_GB, "GB"));
  platform_layout->addWidget(make_check_box(IDC_PLATFORM_BIG5, "BIG5 "));
  platform_layout->addStretch(1);
  layout->addWidget(platform_box);

  QGroupBox* code_box = make_group("交换码");
  auto* code_layout = new QVBoxLayout(code_box);
  auto* group = new QButtonGroup(this);
  const char* names[] = {"US-ASCII", "CN-GB", "CN-BIG5", "ISO-2022-CN", "其他"};
  for (int i = 0; i < 4; ++i)
    code_layout->addWidget(make_radio(group, kCodeButtons[i], names[i]));
  auto* other = new QHBoxLayout;
  other->addWidget(make_radio(group, kCodeButtons[4], names[4]));
  other->addWidget(make_edit(IDC_CODE_OTHER_NAME));
  code_layout->addLayout(other);
  layout->addWidget(code_box);

  auto* buttons = new QVBoxLayout;
  QWidget* row = make_buttons("确定", std::string("取消"));
  static_cast<QBoxLayout*>(row->layout())->setDirection(QBoxLayout::TopToBottom);
  buttons->addWidget(row);
  buttons->addStretch(1);
  layout->addLayout(buttons);
}

void CChineseDialog::on_init_dialog() {
  set_checked(IDC_PLATFORM_GB, platform == PLATFORM_GB || platform == PLATFORM_BOTH);
  set_checked(IDC_PLATFORM_BIG5, platform == PLATFORM_BIG5 || platform == PLATFORM_BOTH);
  int choice = charset_choice_of(interchange_code);
  set_checked(kCodeButtons[choice], true);
  set_text(IDC_CODE_OTHER_NAME, choice == CHOICE_OTHER ? interchange_code : std::string());
}

bool CChineseDialog::on_ok() {
  platform = platform_from_boxes(checked(IDC_PLATFORM_GB), checked(IDC_PLATFORM_BIG5));
  for (int choice = 0; choice < 4; ++choice)
    if (checked(kCodeButtons[choice])) interchange_code = kOutgoingLabels[choice];
  if (checked(IDC_CODE_OTHER)) interchange_code = text(IDC_CODE_OTHER_NAME);
  return true;
}
