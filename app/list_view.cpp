#include "app/list_view.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QScrollBar>
#include <QShortcut>

#include "app/button_bitmaps.h"
#include "app/letter_line_delegate.h"
#include "app/mailbox_commands.h"
#include "app/resource_ids.h"
#include "app/velmar_app.h"
#include "app/velmar_doc.h"
#include "letter/letter_commands.h"
#include "letter/viewer_view.h"
#include "model/letter_text.h"
#include "ui/ui_asker.h"
#include "ui/ui_bitmap_button.h"
#include "ui/ui_child_frame.h"
#include "ui/ui_doc_template.h"
#include "ui/ui_ids.h"
#include "ui/ui_print.h"
#include "ui/ui_save_file.h"
#include "ui/ui_text.h"

namespace {

struct button_place {
  int id;
  const char* caption;
  int left;
  int up;
  int down;
};

constexpr button_place kButtons[] = {
    {IDC_BUTTON_REPLY, "Reply", 20, IDB_REPLY_UP, IDB_REPLY_DOWN},
    {IDC_BUTTON_REPLY_ALL, "ReplyAll", 52, IDB_REPLY_ALL_UP, IDB_REPLY_ALL_DOWN},
    {IDC_BUTTON_FORWARD, "Forward", 84, IDB_FORWARD_UP, IDB_FORWARD_DOWN},
    {IDC_BUTTON_REDIRECT, "Redirect", 116, IDB_REDIRECT_UP, IDB_REDIRECT_DOWN},
    {IDC_BUTTON_TRASH, "Trash", 168, IDB_TRASH_UP, IDB_TRASH_DOWN},
    {IDC_BUTTON_SAVE, "Save", 200, IDB_SAVE_UP, IDB_SAVE_DOWN},
    {IDC_BUTTON_MOVE, "Move", 232, IDB_MOVE_UP, IDB_MOVE_DOWN},
    {IDC_BUTTON_DELETE, "Delete", 264, IDB_DELETE_UP, IDB_DELETE_DOWN},
    {IDC_BUTTON_PRINT, "Print", 296, IDB_PRINT_UP, IDB_PRINT_DOWN},
    {IDC_BUTTON_CLOSE, "Close", 348, IDB_CLOSE_UP, IDB_CLOSE_DOWN},
};
constexpr int kButtonTop = 2;

struct column_title {
  const char* text;
  QRect place;
};

const column_title kTitles[] = {
    {"日期", QRect(QPoint(10, 37), QPoint(149, 52))},
    {"发信人", QRect(QPoint(150, 37), QPoint(249, 52))},
    {"大小", QRect(QPoint(290, 37), QPoint(349, 52))},
    {"题目", QRect(QPoint(350, 37), QPoint(449, 52))},
};

const QColor kBand(192, 192, 192);

constexpr const char* kCannotCreate = "创建文件失败!";
constexpr const char* kNoPrinting = "打印功能尚未实现";
constexpr const char* kAskClose = "关闭此邮箱?";
constexpr const char* kAskRemoveMarked = "删除标记为“删除”的邮件吗?";
constexpr const char* kSaveFilter = "所有文件 (*.*)|*.*||";

}  // namespace

CListView::CListView() {
  setAutoFillBackground(false);
  for (const button_place& place : kButtons) {
    auto* button = new ui_bitmap_button(place.id, place.caption, this);
    button->load_bitmaps(button_bitmap(place.up), button_bitmap(place.down));
    button->move(place.left, kButtonTop);
    buttons_[place.id] = button;
    order_.push_back(place.id);
  }
  for (int id : {IDC_BUTTON_REPLY, IDC_BUTTON_REPLY_ALL, IDC_BUTTON_FORWARD, IDC_BUTTON_REDIRECT}) {
    on_command(id, [this, id] {
      CVelmarApp* app = CVelmarApp::instance();
      if (CVelmarDoc* doc = mailbox(); doc && app)
        run_letter_command(letter_command_of(id), app->letter_windows(), *doc,
                           letter_labels::chinese);
    });
    connect(buttons_[id], &QAbstractButton::clicked, this, [this, id] { run_command(id); });
  }
  connect(buttons_[IDC_BUTTON_TRASH], &QAbstractButton::clicked, this, [this] {
    if (CVelmarApp* app = CVelmarApp::instance()) app->mailboxes().trash_letters(*this);
  });
  connect(buttons_[IDC_BUTTON_MOVE], &QAbstractButton::clicked, this, [this] {
    if (CVelmarApp* app = CVelmarApp::instance()) app->mailboxes().move_letters(*this);
  });
  connect(buttons_[IDC_BUTTON_SAVE], &QAbstractButton::clicked, this, [this] { on_save(); });
  connect(buttons_[IDC_BUTTON_DELETE], &QAbstractButton::clicked, this, [this] { on_delete(); });
  connect(buttons_[IDC_BUTTON_PRINT], &QAbstractButton::clicked, this, [this] { on_print(); });
  connect(buttons_[IDC_BUTTON_CLOSE], &QAbstractButton::clicked, this, [this] { on_close(); });

  list_ = new QListWidget(this);
  list_->setProperty("control_id", IDC_LETTER_LIST);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  list_->setUniformItemSizes(true);
  list_->setItemDelegate(new CLetterLineDelegate(list_));
  connect(list_, &QListWidget::itemSelectionChanged, this, [this] { on_selection_changed(); });
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { open_viewer(); });
  list_->installEventFilter(this);
  setFocusProxy(list_);
  resize(640, 400);

  on_command(ID_EDIT_COPY, [this] {
    QStringList lines;
    for (int line : selected_lines())
      lines << list_->item(line)->text();
    QGuiApplication::clipboard()->setText(lines.join('\n'));
  });
  on_state(ID_EDIT_COPY,
           [this](ui_command_state& state) { state.enabled = !selected_lines().empty(); });
  on_command(ID_EDIT_SELECT_ALL, [this] { list_->selectAll(); });
  on_state(ID_EDIT_SELECT_ALL,
           [this](ui_command_state& state) { state.enabled = list_->count() > 0; });
  on_command(ID_OLE_INSERT_NEW, [this] {
    auto* mailbox = dynamic_cast<CVelmarDoc*>(document());
    if (CVelmarApp* app = CVelmarApp::instance(); app && mailbox) {
      if (CVelmarCntrItem* made = insert_new_object(app->items_of(*mailbox))) selection_ = made;
    }
  });
  on_command(ID_CANCEL_EDIT_CNTR, [this] {
    if (CVelmarApp* app = CVelmarApp::instance(); app && selection_)
      app->servers().close_shown(*selection_);
  });
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, [this] { run_command(ID_CANCEL_EDIT_CNTR); });
  on_file_print([this] {
    QStringList lines;
    for (int row = 0; row < list_->count(); ++row)
      lines << list_->item(row)->text();
    QString heading = frame() ? frame()->windowTitle() : QString();
    return ui_print_text{heading, lines.join('\n'), list_->font()};
  });
}

void CListView::on_frame_closing() {
  if (ui_child_frame* viewer = viewer_frame()) viewer->close_quietly();
}

bool CListView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_ && event->type() == QEvent::KeyPress) {
    int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      open_viewer();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void CListView::viewer_closed() {
  viewer_open_ = false;
  viewer_frame_ = nullptr;
}

void CListView::open_viewer() {
  CVelmarDoc* doc = mailbox();
  CVelmarApp* app = CVelmarApp::instance();
  if (!doc || !app) return;
  if (ui_child_frame* open = viewer_frame()) {
    open->activate();
    return;
  }
  // The line shown selected is the letter opened, current or not yet.
  if (doc->data().current < 0 && list_->currentRow() >= 0) {
    doc->data().current = list_->currentRow();
    doc->set_modified();
  }
  ui_doc_template* viewers = app->viewer_template();
  ui_child_frame* made = viewers ? viewers->create_new_frame(*doc) : nullptr;
  if (!made) {
    ui_message_box(kCommandFailed, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  viewer_open_ = true;
  viewer_frame_ = made;
  if (auto* viewer = dynamic_cast<CViewerView*>(made->view())) viewer->set_opener(this, this);
  viewers->initial_update_frame(made);
  if (CAletter* letter = doc->current_letter(); letter && viewer_frame())
    made->set_caption(letter_caption(*letter, kSomeone, app->settings().hzos));
}

CVelmarDoc* CListView::mailbox() const {
  return dynamic_cast<CVelmarDoc*>(document());
}

ui_bitmap_button* CListView::button(int id) const {
  auto found = buttons_.find(id);
  return found == buttons_.end() ? nullptr : found->second;
}

std::vector<int> CListView::button_ids() const {
  return order_;
}

std::vector<int> CListView::selected_lines() const {
  std::vector<int> lines;
  for (int row = 0; row < list_->count(); ++row)
    if (list_->item(row)->isSelected()) lines.push_back(row);
  return lines;
}

void CListView::select_lines(const std::vector<int>& lines) {
  list_->clearSelection();
  for (int line : lines) {
    list_->setCurrentRow(line, QItemSelectionModel::Select);
  }
}

void CListView::on_update(ui_view*, long) {
  fill_list();
}

void CListView::fill_list() {
  CVelmarDoc* doc = mailbox();
  if (!doc) return;
  filling_ = true;
  list_->clear();
  const CVelmarDocData& data = doc->data();
  // The program's own word for an unknown sender is written in the code page
  // the line is shown in.
  std::string someone = ui_application::instance()->codec().from_utf8(kSomeone);
  long platform = CVelmarApp::instance() ? CVelmarApp::instance()->settings().hzos : 0;
  for (std::size_t i = 0; i < data.letters.size(); ++i)
    list_->addItem(display_text(letter_list_line(*data.letters[i], i, someone, platform)));
  int current = data.current;
  if (current < 0 && list_->count() > 0) current = 0;
  if (current >= 0 && current < list_->count()) {
    list_->setCurrentRow(current, QItemSelectionModel::ClearAndSelect);
    list_->scrollToItem(list_->item(current));
  }
  filling_ = false;
}

void CListView::on_selection_changed() {
  CVelmarDoc* doc = mailbox();
  if (filling_ || !doc) return;
  doc->data().current = list_->currentRow();
  doc->set_modified();
  doc->update_all_views(this);
}

void CListView::on_save() {
  CVelmarDoc* doc = mailbox();
  CAletter* letter = doc ? doc->current_letter() : nullptr;
  if (!letter) {
    ui_message_box(kSelectFirst, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  long platform = CVelmarApp::instance()->settings().hzos;
  save_text_ = letter_display_text(*letter, platform);
  ui_save_file(letter_file_name(*letter, platform), kSaveFilter, save_text_, kCannotCreate);
}

void CListView::on_delete() {
  CVelmarDoc* doc = mailbox();
  std::vector<int> lines = selected_lines();
  if (!doc || lines.empty()) {
    ui_message_box(kSelectFirst, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  for (int line : lines) {
    if (static_cast<std::size_t>(line) >= doc->data().letters.size()) continue;
    CFlags& flags = doc->data().letters[static_cast<std::size_t>(line)]->flags;
    flags.status = std::string{flags.mark(0), flags.mark(1), flags.mark(2) == 'D' ? ' ' : 'D'};
  }
  doc->set_modified();
  doc->update_all_views(nullptr);
}

void CListView::on_print() {
  ui_message_box(kNoPrinting, MB_OK | MB_ICONEXCLAMATION);
}

void CListView::on_close() {
  CVelmarDoc* doc = mailbox();
  if (!doc) return;
  if (ui_message_box(kAskClose, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  auto& letters = doc->data().letters;
  bool marked = std::any_of(letters.begin(), letters.end(),
                            [](const auto& letter) { return letter->flags.mark(2) == 'D'; });
  if (marked && ui_message_box(kAskRemoveMarked, MB_YESNO | MB_ICONQUESTION) == IDYES) {
    std::erase_if(letters, [](const auto& letter) { return letter->flags.mark(2) == 'D'; });
    int count = static_cast<int>(letters.size());
    if (doc->data().current > count - 1) doc->data().current = count - 1;
    doc->set_modified();
    doc->update_all_views(nullptr);
  }
  if (ui_child_frame* own = frame()) own->close();
}

void CListView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(QRect(0, 0, width(), kBandHeight), kBand);
  painter.setPen(Qt::black);
  painter.drawLine(0, kBandLine, width(), kBandLine);
  for (const column_title& title : kTitles) {
    painter.fillRect(title.place, kBand);
    painter.drawText(title.place, Qt::AlignCenter | Qt::TextSingleLine, qstr(title.text));
  }
}

void CListView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  list_->setGeometry(0, kBandHeight, width(), std::max(0, height() - kBandHeight));
}
