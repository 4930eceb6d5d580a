#include "letter/viewer_view.h"

#include <QFontDatabase>
#include <QLineEdit>
#include <QPainter>
#include <QShortcut>

#include "letter/letter_commands.h"
#include "letter/letter_ids.h"
#include "letter/part_actions.h"
#include "letter/part_text_ctrl.h"
#include "model/encoded_words.h"
#include "model/letter_text.h"
#include "model/velmar_doc_data.h"
#include "platform/display_codec.h"
#include "ui/ui_asker.h"
#include "ui/ui_bitmap_button.h"
#include "ui/ui_button_picture.h"
#include "ui/ui_child_frame.h"
#include "ui/ui_document.h"
#include "ui/ui_ids.h"
#include "ui/ui_print.h"
#include "ui/ui_save_file.h"
#include "ui/ui_text.h"
#include "ui/ui_wait_cursor.h"

namespace {

struct button_place {
  int id;
  const char* caption;
  int left;
  button_picture picture;
};

constexpr button_place kButtons[] = {
    {IDC_BUTTON_PREV, "Prev", 20, button_picture::previous},
    {IDC_BUTTON_NEXT, "Next", 52, button_picture::next},
    {IDC_BUTTON_REPLY, "Reply", 104, button_picture::compose},
    {IDC_BUTTON_REPLY_ALL, "ReplyAll", 136, button_picture::reply},
    {IDC_BUTTON_FORWARD, "Forward", 168, button_picture::forward},
    {IDC_BUTTON_REDIRECT, "Redirect", 200, button_picture::redirect},
    {IDC_BUTTON_TRASH, "Trash", 252, button_picture::trash},
    {IDC_BUTTON_SAVE, "Save", 284, button_picture::save},
    {IDC_BUTTON_MOVE, "Move", 316, button_picture::move},
    {IDC_BUTTON_DELETE, "Delete", 348, button_picture::remove},
    {IDC_BUTTON_PRINT, "Print", 380, button_picture::print},
    {IDC_BUTTON_CLOSE, "Close", 432, button_picture::close},
};
constexpr int kButtonTop = 2;
constexpr int kSubjectLeft = 65;
constexpr int kSubjectTop = 39;
constexpr int kSubjectHeight = 21;
const QRect kSubjectLabel(10, 39, 55, 21);
const QColor kBand(192, 192, 192);

constexpr const char* kNoLetter = "No letter in this mailbox.";
constexpr const char* kSelectFirst = "Select a letter first.";
constexpr const char* kHead = "Reach the head.";
constexpr const char* kLast = "Already at last message.";
constexpr const char* kCannotCreate = "File create fail!";
constexpr const char* kFocusFirst = "Set focus to one edit control window first.";
constexpr const char* kPrint = "Print";
constexpr const char* kSaveFilter = "All Files (*.*)|*.*||";
constexpr const char* kSomeoneEnglish = "someone";

void tell(const char* message) {
  ui_message_box(message, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

CViewerView::CViewerView(viewer_host& host) : host_(host) {
  for (const button_place& place : kButtons) {
    auto* button = new ui_bitmap_button(place.id, place.caption, this);
    button->load_bitmaps(ui_button_picture(place.picture, false),
                         ui_button_picture(place.picture, true));
    button->move(place.left, kButtonTop);
    buttons_[place.id] = button;
    order_.push_back(place.id);
  }
  for (int id : {IDC_BUTTON_REPLY, IDC_BUTTON_REPLY_ALL, IDC_BUTTON_FORWARD, IDC_BUTTON_REDIRECT}) {
    on_command(id, [this, id] {
      if (ui_document* own = document())
        run_letter_command(letter_command_of(id), host_, *own, letter_labels::english);
    });
    connect(buttons_[id], &QAbstractButton::clicked, this, [this, id] { run_command(id); });
  }
  const std::pair<int, void (CViewerView::*)()> actions[] = {
      {IDC_BUTTON_PREV, &CViewerView::on_prev},
      {IDC_BUTTON_NEXT, &CViewerView::on_next},
      {IDC_BUTTON_TRASH, &CViewerView::on_trash},
      {IDC_BUTTON_SAVE, &CViewerView::on_save},
      {IDC_BUTTON_MOVE, &CViewerView::on_move},
      {IDC_BUTTON_DELETE, &CViewerView::on_delete},
      {IDC_BUTTON_PRINT, &CViewerView::on_print_button},
      {IDC_BUTTON_CLOSE, &CViewerView::on_close},
  };
  for (auto [id, action] : actions)
    connect(buttons_[id], &QAbstractButton::clicked, this, [this, action] { (this->*action)(); });

  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  subject_ = new QLineEdit(this);
  subject_->setReadOnly(true);
  subject_->setFont(fixed);
  part_text_ = new CPartTextCtrl(this);
  part_text_->open_part = [this](const CBody& part) {
    if (ui_document* own = document()) open_part(host_, *own, part);
  };
  setFocusProxy(part_text_);
  resize(sizeHint());

  on_command(ID_EDIT_COPY, [this] { on_copy(); });
  on_state(ID_EDIT_COPY, [this](ui_command_state& state) {
    if (part_text_->hasFocus()) {
      state.enabled = part_text_->textCursor().hasSelection();
    } else if (subject_->hasFocus()) {
      state.enabled = subject_->hasSelectedText();
    }
  });
  on_command(ID_OLE_INSERT_NEW, [this] { on_insert_object(); });
  on_command(ID_CANCEL_EDIT_CNTR, [this] { on_cancel_edit(); });
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, [this] { run_command(ID_CANCEL_EDIT_CNTR); });
  on_command(ID_EDIT_SELECT_ALL, [this] { part_text_->selectAll(); });
  on_state(ID_EDIT_SELECT_ALL,
           [this](ui_command_state& state) { state.enabled = !part_text_->document()->isEmpty(); });
  on_file_print([this, fixed] {
    QString heading = frame() ? frame()->windowTitle() : QString();
    return ui_print_text{heading, part_text_->toPlainText(), fixed};
  });
}

CViewerView::~CViewerView() {
  if (opener_ && opener_alive_) opener_->viewer_closed();
}

void CViewerView::set_opener(viewer_opener* opener, QObject* alive) {
  opener_ = opener;
  opener_alive_ = alive;
}

ui_bitmap_button* CViewerView::button(int id) const {
  auto found = buttons_.find(id);
  return found == buttons_.end() ? nullptr : found->second;
}

CVelmarDocData* CViewerView::mailbox() const {
  return document() ? host_.mailbox(*document()) : nullptr;
}

CAletter* CViewerView::current_letter() const {
  CVelmarDocData* data = mailbox();
  return data ? data->current_letter() : nullptr;
}

bool CViewerView::mark_read() {
  CAletter* letter = current_letter();
  if (!letter) return false;
  CFlags& flags = letter->flags;
  std::string read{' ', flags.mark(1), flags.mark(2)};
  if (flags.status == read) return false;
  flags.status = read;
  return true;
}

void CViewerView::on_update(ui_view*, long) {
  bool changed = mark_read();
  if (current_letter()) document()->set_modified();
  // Another viewer on the mailbox updates this one in turn; the update goes
  // on only when the mark changed, so the exchange ends after one round.
  if (changed) document()->update_all_views(this);
  ShowCurrentLetter();
}

void CViewerView::ShowCurrentLetter() {
  CAletter* letter = current_letter();
  if (!letter) {
    tell(kNoLetter);
    if (ui_child_frame* own = frame()) own->close();
    return;
  }
  ui_wait_cursor busy;  // a letter of many megabytes takes a moment
  const long platform = host_.chinese_platform();
  letter_formatter formatter(letter_labels::english, platform);
  formatter.FormatHeader(*letter);
  formatter.FormatBody(letter->body, true);
  text_ = formatter.take();
  part_text_->show_letter(text_);
  subject_->setText(qstr(header_text_utf8(letter->envelope.subject, display_charset(platform))));
  if (ui_child_frame* own = frame())
    own->set_caption(letter_caption(*letter, kSomeoneEnglish, platform));
}

void CViewerView::step_to(int index) {
  mailbox()->current = index;
  mark_read();
  document()->set_modified();
  document()->update_all_views(this);
  ShowCurrentLetter();
}

void CViewerView::on_prev() {
  CVelmarDocData* data = mailbox();
  if (!data) return;
  if (data->current < 1) {
    tell(kHead);
    return;
  }
  step_to(data->current - 1);
}

void CViewerView::on_next() {
  CVelmarDocData* data = mailbox();
  if (!data) return;
  if (static_cast<std::size_t>(data->current + 1) >= data->letters.size()) {
    tell(kLast);
    return;
  }
  step_to(data->current + 1);
}

void CViewerView::on_delete() {
  CAletter* letter = current_letter();
  if (!letter) {
    tell(kSelectFirst);
    return;
  }
  CFlags& flags = letter->flags;
  flags.status = std::string{flags.mark(0), flags.mark(1), flags.mark(2) == 'D' ? ' ' : 'D'};
  on_next();
  document()->set_modified();
  document()->update_all_views(this);
}

void CViewerView::on_save() {
  CAletter* letter = current_letter();
  if (!letter) {
    tell(kSelectFirst);
    return;
  }
  ui_save_file(letter_file_name(*letter, host_.chinese_platform()), kSaveFilter, text_.bytes,
               kCannotCreate);
}

void CViewerView::on_trash() {
  if (!current_letter()) {
    tell(kSelectFirst);
    return;
  }
  if (host_.trash_current_letter(*document(), this)) leave();
}

void CViewerView::on_move() {
  if (!current_letter()) {
    tell(kSelectFirst);
    return;
  }
  if (host_.move_current_letter(*document(), this)) leave();
}

void CViewerView::leave() {
  // The letter has gone; a viewer that was the mailbox's last window asks to
  // save it first, and stays, showing the current letter, when not let go.
  if (ui_child_frame* own = frame()) own->close();
  if (document()) ShowCurrentLetter();
}

void CViewerView::on_insert_object() {
  if (ui_document* own = document()) {
    if (CVelmarCntrItem* made = host_.insert_object(*own)) selection_ = made;
  }
}

void CViewerView::on_cancel_edit() {
  if (selection_) host_.close_in_place(*selection_);
}

void CViewerView::on_print_button() {
  tell(kPrint);
}

void CViewerView::on_close() {
  if (ui_child_frame* own = frame()) own->close();
}

void CViewerView::on_copy() {
  if (part_text_->hasFocus()) {
    part_text_->copy();
  } else if (subject_->hasFocus()) {
    subject_->copy();
  } else {
    tell(kFocusFirst);
  }
}

void CViewerView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(QRect(0, 0, width(), kViewerBandHeight), kBand);
  painter.setPen(Qt::black);
  painter.drawText(kSubjectLabel, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Subject:"));
}

void CViewerView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  subject_->setGeometry(kSubjectLeft, kSubjectTop, std::max(0, width() - kSubjectLeft),
                        kSubjectHeight);
  part_text_->setGeometry(0, kViewerBandHeight, width(), std::max(0, height() - kViewerBandHeight));
}
