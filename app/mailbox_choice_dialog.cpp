#include "app/mailbox_choice_dialog.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "app/resource_ids.h"

CMailboxChoiceDialog::CMailboxChoiceDialog(int resource, const std::string& title,
                                           const std::string& ok_text, bool sorted, QWidget* parent)
    : ui_dialog(resource, title, parent) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(make_label(IDC_MAILBOX_LABEL, "选择邮箱"));
  QListWidget* list = make_list_box(IDC_MAILBOX_LIST, sorted);
  connect(list, &QListWidget::itemDoubleClicked, this, &ui_dialog::accept);
  layout->addWidget(list);
  layout->addWidget(make_buttons(ok_text, std::string("取消")));
}

void CMailboxChoiceDialog::on_init_dialog() {
  QListWidget* list = list_box(IDC_MAILBOX_LIST);
  list->clear();
  for (const std::string& name : names)
    add_list_line(IDC_MAILBOX_LIST, name);
  list->setCurrentRow(-1);
  list->clearSelection();
}

bool CMailboxChoiceDialog::on_ok() {
  chosen_index = selection(IDC_MAILBOX_LIST);
  chosen = chosen_index < 0 ? std::string() : text(IDC_MAILBOX_LIST);
  return true;
}
