#include "app/letter_line_delegate.h"

#include <QApplication>
#include <QPainter>

namespace {

struct wide_range {
  char32_t first;
  char32_t last;
};

// The wide and fullwidth characters of East Asian scripts.
constexpr wide_range kWide[] = {
    {0x1100, 0x115F}, {0x2E80, 0x303E}, {0x3041, 0x33FF}, {0x3400, 0x4DBF},
    {0x4E00, 0x9FFF}, {0xA000, 0xA4CF}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},
    {0xFE30, 0xFE4F}, {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6}, {0x20000, 0x3FFFD},
};

int cell_width(const QFontMetrics& metrics) {
  return metrics.horizontalAdvance(QLatin1Char('0'));
}

}  // namespace

int character_cells(char32_t character) {
  for (const wide_range& range : kWide)
    if (character >= range.first && character <= range.last) return 2;
  return 1;
}

void CLetterLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& given,
                                const QModelIndex& index) const {
  QStyleOptionViewItem option = given;
  initStyleOption(&option, index);
  QString text = option.text;
  option.text.clear();
  const QWidget* widget = option.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &option, painter, widget);

  QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &option, widget);
  painter->save();
  painter->setFont(option.font);
  bool selected = option.state & QStyle::State_Selected;
  painter->setPen(option.palette.color(QPalette::Normal,
                                       selected ? QPalette::HighlightedText : QPalette::Text));
  const int cell = cell_width(option.fontMetrics);
  int x = area.left() + 2;
  for (char32_t character : text.toUcs4()) {
    int cells = character_cells(character);
    QString glyph = QString::fromUcs4(&character, 1);
    QRect place(x, area.top(), cell * cells, area.height());
    painter->drawText(place, Qt::AlignLeft | Qt::AlignVCenter, glyph);
    x += cell * cells;
  }
  painter->restore();
}

QSize CLetterLineDelegate::sizeHint(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  int cells = 0;
  for (char32_t character : index.data().toString().toUcs4())
    cells += character_cells(character);
  size.setWidth(cells * cell_width(option.fontMetrics) + 8);
  return size;
}
