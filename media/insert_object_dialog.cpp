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
    "Pictures (*.bmp *.png *.jpg *.jpeg)|*.bmp;*.png;*.jpg;*.jpeg|Sounds (*.wav)|*.wav|"
    "All Files (*.*)|*.*||";

}  // namespace

CInsertObjectDialog::CInsertObjectDialog(QWidget* parent)
    : ui_dialog(IDD_INSERT_OBJECT, "Insert Object", parent) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(make_label(0, "Object Type:"));
  make_list_box(IDC_OBJECT_TYPES, false);
  layout->addWidget(list_box(IDC_OBJECT_TYPES));
  auto* group = new QButtonGroup(this);
  layout->addWidget(make_radio(group, IDC_CREATE_NEW, "Create New"));
  layout->addWidget(make_radio(group, IDC_CREATE_FROM_FILE, "Create from File"));
  auto* file_row = new QHBoxLayout;
  file_row->addWidget(make_label(0, "File:"));
  file_row->addWidget(make_edit(IDC_OBJECT_FILE), 1);
  auto* browse_button = new QPushButton(QStringLiteral("Browse..."));
  connect(browse_button, &QPushButton::clicked, this, [this] { browse(); });
  file_row->addWidget(browse_button);
  layout->addLayout(file_row);
  layout->addWidget(make_buttons("OK", "Cancel"));
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
  request.title = "Browse";
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
