#pragma once

#include <QStyledItemDelegate>

// Draws the message list's lines in character cells, as a fixed-pitch screen
// of the letters' code page does: a Chinese (wide) character fills two cells,
// every other character one, so the columns line up whatever the senders'
// and subjects' scripts.
class CLetterLineDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// The cells a character fills: 2 for the wide characters of East Asian
// scripts, 1 for the others.
int character_cells(char32_t character);
