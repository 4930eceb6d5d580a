#include "ui/ui_print.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

#include "ui/ui_application.h"
#include "ui/ui_asker.h"

namespace {

// The heading takes its line and half a line more, the rule under it inside.
constexpr double kHeadingLines = 1.5;

}  // namespace

int ui_print_pages(const ui_print_text& text, QPrinter& printer) {
  QPainter painter;
  if (!painter.begin(&printer)) return 0;
  const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
  QFont heading_font = text.font;
  heading_font.setBold(true);
  const QFontMetricsF heading_metrics(heading_font, &printer);
  const double heading_height = heading_metrics.lineSpacing() * kHeadingLines;
  const QString heading = heading_metrics.elidedText(text.heading, Qt::ElideRight, page.width());

  QTextDocument document;
  document.documentLayout()->setPaintDevice(&printer);
  document.setDefaultFont(text.font);
  document.setDocumentMargin(0);
  document.setPlainText(text.text);
  const QSizeF body(page.width(), page.height() - heading_height);
  document.setPageSize(body);

  const int pages = document.pageCount();
  for (int index = 0; index < pages; ++index) {
    if (index > 0) printer.newPage();
    painter.setFont(heading_font);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, 0, page.width(), heading_metrics.lineSpacing()),
                     Qt::AlignLeft | Qt::AlignVCenter, heading);
    const double rule = heading_metrics.lineSpacing() * 1.2;
    painter.drawLine(QPointF(0, rule), QPointF(page.width(), rule));
    painter.save();
    painter.translate(0, heading_height - index * body.height());
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = QRectF(QPointF(0, index * body.height()), body);
    painter.setClipRect(context.clip);
    document.documentLayout()->draw(&painter, context);
    painter.restore();
  }
  painter.end();
  return pages;
}

bool ui_print(const ui_print_text& text) {
  QPrinter& printer = ui_application::instance()->printer();
  if (!ui_ask().print_dialog(printer)) return false;
  return ui_print_pages(text, printer) > 0;
}

void ui_print_preview(const ui_print_text& text) {
  QPrinter& printer = ui_application::instance()->printer();
  ui_ask().print_preview(printer, [&text](QPrinter& target) { ui_print_pages(text, target); });
}
