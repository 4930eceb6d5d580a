#include "ui/ui_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "ui/ui_asker.h"
#include "ui/ui_ids.h"
#include "ui/ui_text.h"

namespace {

std::optional<std::pair<QColor, QColor>> dialog_colors;

}  // namespace

void ui_dialog::set_colors(const QColor& background, const QColor& text) {
  dialog_colors = {background, text};
}

void ui_dialog::apply_colors(QWidget* window) {
  if (!dialog_colors) return;
  QPalette palette = window->palette();
  palette.setColor(QPalette::Window, dialog_colors->first);
  palette.setColor(QPalette::WindowText, dialog_colors->second);
  window->setPalette(palette);
}

ui_dialog::ui_dialog(int resource, const std::string& title, QWidget* parent)
    : QDialog(parent), resource_(resource) {
  setWindowTitle(qstr(title));
  setModal(true);
  apply_colors(this);
}

std::string ui_dialog::title() const {
  return utf8(windowTitle());
}

int ui_dialog::run() {
  prepare();
  return ui_ask().run_dialog(*this);
}

void ui_dialog::prepare() {
  on_init_dialog();
}

bool ui_dialog::try_ok() {
  return on_ok();
}

void ui_dialog::accept() {
  if (try_ok()) QDialog::accept();
}

void ui_dialog::add(int id, QWidget* control) {
  if (id != 0) {
    controls_[id] = control;
    control->setProperty("control_id", id);
  }
  order_.push_back(control);
}

QWidget* ui_dialog::control(int id) const {
  auto found = controls_.find(id);
  return found == controls_.end() ? nullptr : found->second;
}

QLineEdit* ui_dialog::edit(int id) const {
  return qobject_cast<QLineEdit*>(control(id));
}

QCheckBox* ui_dialog::check_box(int id) const {
  return qobject_cast<QCheckBox*>(control(id));
}

QRadioButton* ui_dialog::radio(int id) const {
  return qobject_cast<QRadioButton*>(control(id));
}

QListWidget* ui_dialog::list_box(int id) const {
  return qobject_cast<QListWidget*>(control(id));
}

QPushButton* ui_dialog::button(int id) const {
  return qobject_cast<QPushButton*>(control(id));
}

std::vector<int> ui_dialog::control_ids() const {
  std::vector<int> ids;
  for (const auto& [id, widget] : controls_)
    ids.push_back(id);
  return ids;
}

std::string ui_dialog::text(int id) const {
  QWidget* widget = control(id);
  if (auto* line = qobject_cast<QLineEdit*>(widget)) return utf8(line->text());
  if (auto* label = qobject_cast<QLabel*>(widget)) return utf8(label->text());
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return utf8(button->text());
  if (auto* group = qobject_cast<QGroupBox*>(widget)) return utf8(group->title());
  if (auto* list = qobject_cast<QListWidget*>(widget))
    return list->currentItem() && list->currentItem()->isSelected()
               ? utf8(list->currentItem()->text())
               : std::string();
  return {};
}

void ui_dialog::set_text(int id, const std::string& text) {
  QWidget* widget = control(id);
  if (auto* line = qobject_cast<QLineEdit*>(widget)) line->setText(qstr(text));
  if (auto* label = qobject_cast<QLabel*>(widget)) label->setText(qstr(text));
}

bool ui_dialog::checked(int id) const {
  auto* button = qobject_cast<QAbstractButton*>(control(id));
  return button && button->isChecked();
}

void ui_dialog::set_checked(int id, bool checked) {
  if (auto* button = qobject_cast<QAbstractButton*>(control(id))) button->setChecked(checked);
}

int ui_dialog::selection(int id) const {
  QListWidget* list = list_box(id);
  if (!list || !list->currentItem() || !list->currentItem()->isSelected()) return -1;
  return list->currentRow();
}

void ui_dialog::select(int id, int line) {
  if (QListWidget* list = list_box(id)) {
    list->setCurrentRow(line, QItemSelectionModel::ClearAndSelect);
    if (line < 0) list->clearSelection();
  }
}

std::vector<std::string> ui_dialog::shown_texts() const {
  std::vector<std::string> texts{title()};
  for (QWidget* widget : order_) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
      texts.push_back(utf8(label->text()));
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      texts.push_back(utf8(button->text()));
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
      texts.push_back(utf8(group->title()));
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
      for (int i = 0; i < list->count(); ++i)
        texts.push_back(utf8(list->item(i)->text()));
    }
  }
  return texts;
}

QLabel* ui_dialog::make_label(int id, const std::string& text) {
  auto* label = new QLabel(qstr(text));
  add(id, label);
  return label;
}

QLineEdit* ui_dialog::make_edit(int id) {
  auto* line = new QLineEdit;
  add(id, line);
  return line;
}

QCheckBox* ui_dialog::make_check_box(int id, const std::string& text) {
  auto* box = new QCheckBox(qstr(text));
  add(id, box);
  return box;
}

QRadioButton* ui_dialog::make_radio(QButtonGroup* group, int id, const std::string& text) {
  auto* button = new QRadioButton(qstr(text));
  group->addButton(button, id);
  add(id, button);
  return button;
}

QListWidget* ui_dialog::make_list_box(int id, bool sorted) {
  auto* list = new QListWidget;
  list->setProperty("sorted", sorted);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  add(id, list);
  return list;
}

void ui_dialog::add_list_line(int id, const std::string& text) {
  QListWidget* list = list_box(id);
  QString line = qstr(text);
  int row = list->count();
  if (list->property("sorted").toBool()) {
    // After every line that does not sort later, as a sorted list box does.
    row = 0;
    while (row < list->count() && list->item(row)->text().compare(line, Qt::CaseInsensitive) <= 0) {
      ++row;
    }
  }
  list->insertItem(row, line);
}

QGroupBox* ui_dialog::make_group(const std::string& text) {
  auto* group = new QGroupBox(qstr(text));
  add(0, group);
  return group;
}

QWidget* ui_dialog::make_buttons(const std::string& ok_text,
                                 const std::optional<std::string>& cancel_text) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addStretch(1);
  auto* ok = new QPushButton(qstr(ok_text));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &ui_dialog::accept);
  add(IDOK, ok);
  layout->addWidget(ok);
  if (cancel_text) {
    auto* cancel = new QPushButton(qstr(*cancel_text));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    add(IDCANCEL, cancel);
    layout->addWidget(cancel);
  }
  return row;
}

bool ui_dialog::check_max_chars(int id, int max) {
  QLineEdit* line = edit(id);
  if (!line || line->text().toUcs4().size() <= max) return true;
  ui_message_box(ui_format(kTooManyCharacters, std::to_string(max)), MB_OK | MB_ICONEXCLAMATION);
  line->setFocus();
  line->selectAll();
  return false;
}

std::optional<long> ui_dialog::take_int(int id) {
  QLineEdit* line = edit(id);
  bool ok = false;
  long value = line ? line->text().trimmed().toLong(&ok) : 0;
  if (ok) return value;
  ui_message_box(kNotAnInteger, MB_OK | MB_ICONEXCLAMATION);
  if (line) {
    line->setFocus();
    line->selectAll();
  }
  return std::nullopt;
}
