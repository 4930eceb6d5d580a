#pragma once

#include <QFont>
#include <QString>

class QPrinter;

// The framework's printing of a view: its text laid out on the printer's
// pages, each page headed by the view's caption.
struct ui_print_text {
  QString heading;
  QString text;
  QFont font;
};

// Draws the pages on the printer; returns how many there were (0 when the
// printer cannot be painted on).
int ui_print_pages(const ui_print_text& text, QPrinter& printer);

// File Print: the print dialog, then the pages on the printer chosen. False
// when the user cancelled or nothing could be printed.
bool ui_print(const ui_print_text& text);

// File Print Preview: the pages in a preview window.
void ui_print_preview(const ui_print_text& text);
