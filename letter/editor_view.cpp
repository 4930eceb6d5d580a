#include "letter/editor_view.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QTextEdit>
#include <ctime>

#include "model/aletter.h"
#include "ui/ui_asker.h"
#include "ui/ui_child_frame.h"
#include "ui/ui_ids.h"
#include "ui/ui_text.h"
#include "ui/ui_wait_cursor.h"

namespace {

constexpr const char* kAskAbandon = "放弃发送此信?";
constexpr const char* kChooseToDelete = "先选择删除项";
constexpr const char* kChooseOne = "你应该选择一项";
constexpr const char* kOnlyOne = "你只能选择一项";
constexpr const char* kChoiceWrong = "选择发生错误!";
constexpr const char* kChooseField = "先选择编辑窗口.";

const QColor kBand(192, 192, 192);
constexpr int kLabelLeft = 20;
constexpr int kLabelRight = 80;
constexpr int kFieldLeft = 90;
constexpr int kRowHeight = 17;
constexpr int kFirstRow = 29;
constexpr int kRowStep = 18;
constexpr int kListTop = 121;
constexpr int kListBottom = 195;
constexpr int kButtonWidth = 48;
constexpr int kButtonHeight = 22;
constexpr const char* kRowLabels[] = {"主题:", "来自:", "发往:", "转抄:"};

void tell(const char* message) {
  ui_message_box(message, MB_OK | MB_ICONEXCLAMATION);
}

QPushButton* push_button(const char* text, QWidget* parent) {
  auto* button = new QPushButton(qstr(text), parent);
  button->setFocusPolicy(Qt::TabFocus);
  return button;
}

bool has_selection(QWidget* field) {
  if (auto* text = qobject_cast<QTextEdit*>(field)) return text->textCursor().hasSelection();
  return static_cast<QLineEdit*>(field)->hasSelectedText();
}

}  // namespace

CEditorView::CEditorView(viewer_host& host) : host_(host) {
  send_ = push_button("发信", this);
  send_->setGeometry(QRect(QPoint(100, 2), QPoint(200, 25)));
  abandon_ = push_button("放弃", this);
  abandon_->setGeometry(QRect(QPoint(210, 2), QPoint(310, 25)));
  for (int i = 0; i < 5; ++i)
    lines_.push_back(new QLineEdit(this));
  body_ = new QTextEdit(this);
  body_->setAcceptRichText(false);
  body_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  body_->setLineWrapMode(QTextEdit::NoWrap);
  attachments_ = new QListWidget(this);
  add_file_ = push_button("插入", this);
  remove_file_ = push_button("删除", this);
  items_ = new QListWidget(this);
  items_->setProperty("control_id", IDC_COMPOSE_ITEMS);
  items_->setSelectionMode(QAbstractItemView::MultiSelection);
  insert_object_ = push_button("增添", this);
  insert_before_ = push_button("插入", this);
  delete_items_ = push_button("删除", this);
  setFocusProxy(line(field::to));
  setTabOrder(line(field::subject), line(field::from));

  const std::pair<int, void (CEditorView::*)()> commands[] = {
      {ID_COMPOSE_SEND, &CEditorView::on_send},
      {ID_COMPOSE_ABANDON, &CEditorView::on_abandon},
      {ID_COMPOSE_ADD_FILE, &CEditorView::on_add_file},
      {ID_COMPOSE_REMOVE_FILE, &CEditorView::on_remove_file},
      {ID_COMPOSE_INSERT_OBJECT, &CEditorView::on_insert_object},
      {ID_COMPOSE_INSERT_BEFORE, &CEditorView::on_insert_before},
      {ID_COMPOSE_DELETE_ITEMS, &CEditorView::on_delete_items},
  };
  for (auto [id, action] : commands)
    on_command(id, [this, action] { (this->*action)(); });
  const std::pair<QPushButton*, int> buttons[] = {
      {send_, ID_COMPOSE_SEND},
      {abandon_, ID_COMPOSE_ABANDON},
      {add_file_, ID_COMPOSE_ADD_FILE},
      {remove_file_, ID_COMPOSE_REMOVE_FILE},
      {insert_object_, ID_COMPOSE_INSERT_OBJECT},
      {insert_before_, ID_COMPOSE_INSERT_BEFORE},
      {delete_items_, ID_COMPOSE_DELETE_ITEMS},
  };
  for (auto [button, id] : buttons)
    connect(button, &QPushButton::clicked, this, [this, id = id] { run_command(id); });
  connect(items_, &QListWidget::itemDoubleClicked, this, [this] { on_open_item(); });
  on_command(ID_OLE_INSERT_NEW, [this] { on_insert_object(); });
  on_command(ID_CANCEL_EDIT_CNTR, [this] {
    for (const auto& item : item_list_)
      item->close_shown();
  });
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, [this] { run_command(ID_CANCEL_EDIT_CNTR); });

  on_command(ID_EDIT_CUT, [this] {
    edit_command([](QWidget* w) {
      if (auto* text = qobject_cast<QTextEdit*>(w)) return text->cut();
      static_cast<QLineEdit*>(w)->cut();
    });
  });
  on_command(ID_EDIT_COPY, [this] {
    edit_command([](QWidget* w) {
      if (auto* text = qobject_cast<QTextEdit*>(w)) return text->copy();
      static_cast<QLineEdit*>(w)->copy();
    });
  });
  on_command(ID_EDIT_PASTE, [this] {
    edit_command([](QWidget* w) {
      if (auto* text = qobject_cast<QTextEdit*>(w)) return text->paste();
      static_cast<QLineEdit*>(w)->paste();
    });
  });
  on_command(ID_EDIT_CLEAR, [this] {
    edit_command([](QWidget* w) {
      if (auto* text = qobject_cast<QTextEdit*>(w)) return text->textCursor().removeSelectedText();
      if (auto* one = static_cast<QLineEdit*>(w); one->hasSelectedText()) one->del();
    });
  });
  for (int id : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_CLEAR}) {
    on_state(id, [this](ui_command_state& state) {
      QWidget* focused = edit_focus();
      state.enabled = !focused || has_selection(focused);
    });
  }
  on_state(ID_EDIT_PASTE, [](ui_command_state& state) {
    state.enabled = !QGuiApplication::clipboard()->text().isEmpty();
  });
  on_command(ID_EDIT_UNDO, [this] { body_->undo(); });
  on_state(ID_EDIT_UNDO, [this](ui_command_state& state) {
    state.enabled = body_->document()->isUndoAvailable();
  });
  on_command(ID_EDIT_SELECT_ALL, [this] { body_->selectAll(); });
  on_state(ID_EDIT_SELECT_ALL,
           [this](ui_command_state& state) { state.enabled = !body_->document()->isEmpty(); });
  resize(sizeHint());
}

CEditorView::~CEditorView() = default;

QLineEdit* CEditorView::line(field which) const {
  return lines_[static_cast<std::size_t>(which)];
}

void CEditorView::set_line(field which, const std::string& text) {
  line(which)->setText(qstr(text));
}

void CEditorView::set_body(const std::string& text) {
  QString lines = qstr(text);
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  body_->setPlainText(lines);
}

compose_form CEditorView::form() const {
  compose_form typed;
  typed.subject = utf8(line(field::subject)->text());
  typed.from = utf8(line(field::from)->text());
  typed.to = utf8(line(field::to)->text());
  typed.cc = utf8(line(field::cc)->text());
  typed.bcc = utf8(line(field::bcc)->text());
  typed.body = utf8(body_->toPlainText());
  for (int row = 0; row < attachments_->count(); ++row)
    typed.attachments.push_back(utf8(attachments_->item(row)->text()));
  return typed;
}

void CEditorView::on_send() {
  const compose_settings settings = host_.sending_settings();
  std::vector<compose_item> parts;
  for (const auto& item : item_list_)
    parts.push_back(item->data(host_.operating_environment()));
  compose_problem problem;
  std::optional<outgoing_letter> letter =
      outgoing_letter_build(form(), settings, parts, std::time(nullptr), problem);
  if (!letter) {
    // Nothing is kept or sent; the user mends the letter and sends again.
    ui_message_box(problem.message, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  for (const std::string& warning : letter->warnings)
    ui_message_box(warning, MB_OK | MB_ICONEXCLAMATION);
  send_result result;
  {
    ui_wait_cursor busy;
    host_.keep_in_out(std::move(letter->out_copy));
    result = host_.send_letter(*letter);
  }
  ui_message_box(send_result_message(result), MB_OK);
  close_frame();
}

void CEditorView::on_abandon() {
  if (ui_message_box(kAskAbandon, MB_YESNO | MB_ICONQUESTION) == IDYES) close_frame();
}

void CEditorView::close_frame() {
  if (ui_child_frame* own = frame()) own->close();
}

void CEditorView::on_add_file() {
  ui_file_request request;
  request.title = kOpenTitle;
  request.filter = std::string(kAllFilesFilter) + "|*.*||";
  if (std::optional<std::string> path = ui_ask().file_dialog(request))
    attachments_->addItem(qstr(*path));
}

void CEditorView::on_remove_file() {
  if (attachments_->count() == 0) {
    tell(kChooseToDelete);
    return;
  }
  if (QListWidgetItem* chosen = attachments_->currentItem(); chosen && chosen->isSelected())
    delete chosen;
}

void CEditorView::on_insert_object() {
  ui_document* own = document();
  std::unique_ptr<composer_item> item = own ? host_.insert_item(*own) : nullptr;
  if (!item) return;
  ++inserted_;
  item->set_display_name(item->type_name());
  items_->addItem(qstr(item->display_name()));
  item_list_.push_back(std::move(item));
}

void CEditorView::on_insert_before() {
  if (items_->count() == 0) {
    on_insert_object();
    return;
  }
  QList<QListWidgetItem*> chosen = items_->selectedItems();
  if (chosen.size() != 1) {
    tell(kChooseOne);
    return;
  }
  const int row = items_->row(chosen.front());
  std::unique_ptr<composer_item> item = host_.insert_item(*document());
  if (!item) return;
  ++inserted_;
  item->set_display_name(item->type_name() + std::to_string(inserted_));
  items_->insertItem(row, qstr(item->display_name()));
  item_list_.insert(item_list_.begin() + row, std::move(item));
}

void CEditorView::on_delete_items() {
  std::vector<int> rows;
  for (int row = 0; row < items_->count(); ++row)
    if (items_->item(row)->isSelected()) rows.push_back(row);
  if (rows.empty()) {
    tell(kChooseToDelete);
    return;
  }
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    delete items_->takeItem(*row);
    item_list_.erase(item_list_.begin() + *row);
  }
}

void CEditorView::on_open_item() {
  QList<QListWidgetItem*> chosen = items_->selectedItems();
  if (chosen.size() > 1) {
    tell(kOnlyOne);
    return;
  }
  const int row = chosen.empty() ? -1 : items_->row(chosen.front());
  if (row < 0 || static_cast<std::size_t>(row) >= item_list_.size()) {
    ui_message_box(kChoiceWrong, MB_OK);
    return;
  }
  item_list_[static_cast<std::size_t>(row)]->open();
}

QWidget* CEditorView::edit_focus() const {
  QWidget* focused = QApplication::focusWidget();
  if (!focused) return nullptr;
  if (focused == body_ || body_->isAncestorOf(focused)) return body_;
  for (QLineEdit* one : lines_)
    if (focused == one) return one;
  return nullptr;
}

void CEditorView::edit_command(void (*act)(QWidget*)) {
  if (QWidget* focused = edit_focus()) {
    act(focused);
    return;
  }
  tell(kChooseField);
}

void CEditorView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(QRect(0, 0, width(), kComposerBodyTop), kBand);
  painter.setPen(Qt::black);
  for (int i = 0; i < 4; ++i)
    painter.drawText(QRect(QPoint(kLabelLeft, kFirstRow + i * kRowStep),
                           QPoint(kLabelRight, kFirstRow + i * kRowStep + kRowHeight - 1)),
                     Qt::AlignLeft | Qt::AlignVCenter, qstr(kRowLabels[i]));
  const int half = width() / 2;
  painter.drawText(QRect(kLabelLeft, kListTop, kFieldLeft - kLabelLeft, kRowHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, qstr("夹带文件:"));
  painter.drawText(QRect(half + 4, kListTop - 2, half, kRowHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, qstr("多媒体:Bitmap/Wav:"));
  painter.drawText(QRect(kLabelLeft, kComposerBodyTop, kFieldLeft - kLabelLeft, kRowHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, qstr("信体:"));
}

void CEditorView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int right = std::max(kFieldLeft + 100, width() - 10);
  for (int i = 0; i < 5; ++i)
    lines_[static_cast<std::size_t>(i)]->setGeometry(kFieldLeft, kFirstRow + i * kRowStep,
                                                     right - kFieldLeft, kRowHeight);
  // The attached files on the left half, the pictures and sounds on the right.
  const int half = std::max(kFieldLeft + 2 * kButtonWidth, width() / 2);
  const int list_height = kListBottom - kListTop;
  const int files_width = std::max(40, half - kFieldLeft - kButtonWidth - 8);
  attachments_->setGeometry(kFieldLeft, kListTop, files_width, list_height);
  const int files_buttons = kFieldLeft + files_width + 4;
  add_file_->setGeometry(files_buttons, kListTop, kButtonWidth, kButtonHeight);
  remove_file_->setGeometry(files_buttons, kListTop + kButtonHeight + 4, kButtonWidth,
                            kButtonHeight);
  const int items_top = kListTop + kRowHeight;
  const int items_width = std::max(40, right - half - kButtonWidth - 8);
  items_->setGeometry(half + 4, items_top, items_width, kListBottom - items_top);
  const int items_buttons = half + 8 + items_width;
  insert_object_->setGeometry(items_buttons, kListTop - 4, kButtonWidth, kButtonHeight);
  insert_before_->setGeometry(items_buttons, kListTop + kButtonHeight - 2, kButtonWidth,
                              kButtonHeight);
  delete_items_->setGeometry(items_buttons, kListTop + 2 * kButtonHeight, kButtonWidth,
                             kButtonHeight);
  body_->setGeometry(kFieldLeft, kComposerBodyTop, std::max(0, width() - kFieldLeft),
                     std::max(0, height() - kComposerBodyTop));
}
