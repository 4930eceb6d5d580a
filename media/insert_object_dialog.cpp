#include "media/insert_object_dialog.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <filesystem>

#include "media/media_ids.h"
#include "ui/ui_asker.h"
#include "ui/ui_ids.h"
#include "ui/ui_text.h"

namespace {

constexpr const char* kBrowseFilter =
    "图片 (*.bmp *.png *.jpg *.jpeg)|*.bmp;*.png;*.jpg;*.jpeg|声音 (*.wav)|*.wav|"
    "所有文件 (*.*)|*.*||";

}  // namespace

CInsertObjectDialog::CInsertObjectDialog(QWidget* parent)
    : ui_dialog(IDD_INSERT_OBJECT, "插入对象", parent) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(make_label(0, "对象类型:"));
  make_list_box(IDC_OBJECT_TYPES, false);
  layout->addWidget(list_box(IDC_OBJECT_TYPES));
  auto* group = new QButtonGroup(this);
  layout->addWidget(make_radio(group, IDC_CREATE_NEW, "新建"));
  layout->addWidget(make_radio(group, IDC_CREATE_FROM_FILE, "由文件创建"));
  auto* file_row = new QHBoxLayout;
  file_row->addWidget(make_label(0, "文件:"));
  file_row->addWidget(make_edit(IDC_OBJECT_FILE), 1);
  auto* browse_button = new QPushButton(QStringLiteral("浏览..."));
  connect(browse_button, &QPushButton::clicked, this, [this] { browse(); });
  file_row->addWidget(browse_button);
  layout->addLayout(file_row);
  layout->addWidget(make_buttons("确定", "取消"));
  for (const char* name : kObjectTypes)
    add_list_line(IDC_OBJECT_TYPES, name);
}

void CInsertObjectDialog::on_init_dialog() {
  select(IDC_OBJECT_TYPES, type);
  set_checked(from_file ? IDC_CREATE_FROM_FILE : IDC_CREATE_NEW, true);
  set_text(IDC_OBJECT_FILE, file);
}

void CInsertObjectDialog::browse() {
  ui_file_request request;
  request.title = "浏览";
  request.filter = kBrowseFilter;
  if (std::optional<std::string> path = ui_ask().file_dialog(request)) {
    set_text(IDC_OBJECT_FILE, *path);
    set_checked(IDC_CREATE_FROM_FILE, true);
  }
}

bool CInsertObjectDialog::on_ok() {
  const bool wants_file = checked(IDC_CREATE_FROM_FILE);
  const std::string path = text(IDC_OBJECT_FILE);
  std::error_code error;
  if (wants_file && !std::filesystem::is_regular_file(path, error)) {
    ui_message_box(ui_format(kNoSuchFile, path), MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  type = std::max(0, selection(IDC_OBJECT_TYPES));
  from_file = wants_file;
  file = path;
  return true;
}
