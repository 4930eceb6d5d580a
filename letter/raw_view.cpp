#include "letter/raw_view.h"

#include <QPlainTextEdit>
#include <QScrollBar>

#include "model/letter_format.h"
#include "platform/charset_reader.h"
#include "ui/ui_asker.h"
#include "ui/ui_child_frame.h"
#include "ui/ui_ids.h"
#include "ui/ui_text.h"

namespace {

constexpr const char* kNoPart = "信体中没有原始数据";
constexpr const char* kNotText = "  [ 不能显示这一部分. ]\n  [ 选择“保存”来保存它. ]\n";
constexpr std::uint16_t kText = 0;

}  // namespace

CRawView::CRawView(const CBody* part, long platform) : has_part_(part != nullptr) {
  edit_ = new QPlainTextEdit(this);
  edit_->setReadOnly(true);
  edit_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  edit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setFocusProxy(edit_);
  if (part && part->type == kText) {
    // The text as the part holds it, only read in its charset for the screen.
    std::string_view bytes = std::string_view(part->text).substr(0, kRawTextLimit);
    shown_ = qstr(
        charset_to_utf8(bytes, text_part_charset(*part, platform)).value_or(std::string(bytes)));
  } else if (part) {
    shown_ = qstr(kNotText);
  }

  on_command(ID_EDIT_COPY, [this] { edit_->copy(); });
  on_state(ID_EDIT_COPY,
           [this](ui_command_state& state) { state.enabled = edit_->textCursor().hasSelection(); });
  on_command(ID_EDIT_SELECT_ALL, [this] {
    edit_->selectAll();
    edit_->ensureCursorVisible();
  });
  on_state(ID_EDIT_SELECT_ALL,
           [this](ui_command_state& state) { state.enabled = !edit_->document()->isEmpty(); });
}

void CRawView::on_initial_update() {
  if (!has_part_) {
    ui_message_box(kNoPart, MB_OK | MB_ICONEXCLAMATION);
    if (ui_child_frame* own = frame()) own->close();
    return;
  }
  edit_->setPlainText(shown_);
}

void CRawView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  edit_->setGeometry(rect());
}
