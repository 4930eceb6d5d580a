#include "letter/part_text_ctrl.h"

#include <QFontDatabase>

CPartTextCtrl::CPartTextCtrl(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

void CPartTextCtrl::show_letter(const letter_text& text) {
  clear_regions();
  for (const part_region& region : text.regions)
    add_region(region.start, region.end, region.body);
  screen_ = letter_screen_text(text);
  setPlainText(QString::fromUtf16(screen_.characters.data(),
                                  static_cast<qsizetype>(screen_.characters.size())));
}

void CPartTextCtrl::add_region(std::size_t start, std::size_t end, const CBody* body) {
  regions_.push_back({start, end, body});
}

const part_region* CPartTextCtrl::find_region(std::size_t offset) const {
  for (const part_region& region : regions_)
    if (region.start <= offset && offset <= region.end) return &region;
  return nullptr;
}

void CPartTextCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
  // The control selects the word under the pointer first; the middle of
  // that selection, as an offset in the letter text, picks the region.
  QPlainTextEdit::mouseDoubleClickEvent(event);
  QTextCursor cursor = textCursor();
  std::size_t start = screen_.byte_offset(static_cast<std::size_t>(cursor.selectionStart()));
  std::size_t end = screen_.byte_offset(static_cast<std::size_t>(cursor.selectionEnd()));
  const part_region* region = find_region((start + end) / 2);
  if (region && region->body && open_part) open_part(*region->body);
}
