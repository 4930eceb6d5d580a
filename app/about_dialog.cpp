#include "app/about_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/resource_ids.h"

CAboutDialog::CAboutDialog(QWidget* parent) : ui_dialog(IDD_ABOUTBOX, "关于 Kestrel", parent) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(make_label(0, "Kestrel 中西文多媒体邮件系统"));
  layout->addWidget(make_label(0, "版本 1.0"));
  layout->addWidget(make_label(0, "GB、BIG5 和 ISO-2022-CN 中文邮件，遵循 RFC 1922"));
  layout->addWidget(make_buttons("确定", std::nullopt));
}
