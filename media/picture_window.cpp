#include "media/picture_window.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QToolBar>
#include <QVBoxLayout>

#include "model/cntr_item.h"
#include "ui/ui_asker.h"
#include "ui/ui_ids.h"
#include "ui/ui_text.h"

namespace {

constexpr const char* kPictureFilter =
    "图片 (*.bmp *.png *.jpg *.jpeg)|*.bmp;*.png;*.jpg;*.jpeg|所有文件 (*.*)|*.*||";
constexpr const char* kNotAPicture = "这个文件里没有 Kestrel 能读的图片。";
constexpr const char* kNoPictureToPaste = "剪贴板上没有图片。";

}  // namespace

class CPictureWindow::canvas_widget : public QWidget {
 public:
  explicit canvas_widget(CPictureWindow& window) : window_(window) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawImage(0, 0, window_.picture_);
  }
  void mousePressEvent(QMouseEvent* event) override { last_ = event->position().toPoint(); }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (!(event->buttons() & Qt::LeftButton)) return;
    const QPoint now = event->position().toPoint();
    window_.draw_line(last_, now);
    last_ = now;
  }

 private:
  CPictureWindow& window_;
  QPoint last_;
};

std::string bitmap_file_of(const QImage& picture) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  picture.convertToFormat(QImage::Format_RGB32).save(&buffer, "BMP");
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

CPictureWindow::CPictureWindow(CVelmarCntrItem& item) : object_window(item) {
  if (const std::optional<embedded_object>& object = item.object())
    picture_ = QImage::fromData(
        QByteArray(object->file.data(), static_cast<qsizetype>(object->file.size())), "BMP");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* tools = new QToolBar(this);
  tools->addAction(QStringLiteral("打开图片..."), this, [this] { open_file(); });
  tools->addAction(QStringLiteral("粘贴"), this, [this] { paste(); });
  tools->addAction(QStringLiteral("更新"), this, [this] { update_item(); });
  layout->addWidget(tools);
  canvas_ = new canvas_widget(*this);
  scroll_ = new QScrollArea(this);
  scroll_->setWidget(canvas_);
  scroll_->setBackgroundRole(QPalette::Dark);
  layout->addWidget(scroll_, 1);
  size_ = new QLabel(this);
  layout->addWidget(size_);
  show_size();
  resize(std::min(picture_.width() + 40, 900), std::min(picture_.height() + 90, 700));
}

QWidget* CPictureWindow::canvas() const {
  return canvas_;
}

void CPictureWindow::show_size() {
  canvas_->setFixedSize(picture_.size());
  size_->setText(QStringLiteral("%1 x %2 像素").arg(picture_.width()).arg(picture_.height()));
  canvas_->update();
}

void CPictureWindow::set_picture(const QImage& picture) {
  picture_ = picture.convertToFormat(QImage::Format_RGB32);
  set_changed();
  show_size();
}

void CPictureWindow::draw_line(const QPoint& from, const QPoint& to) {
  if (picture_.format() != QImage::Format_RGB32)
    picture_ = picture_.convertToFormat(QImage::Format_RGB32);
  QPainter painter(&picture_);
  painter.setPen(QPen(Qt::black, 2));
  painter.drawLine(from, to);
  set_changed();
  canvas_->update();
}

void CPictureWindow::open_file() {
  ui_file_request request;
  request.title = kOpenTitle;
  request.filter = kPictureFilter;
  std::optional<std::string> path = ui_ask().file_dialog(request);
  if (!path) return;
  QImage read(qstr(*path));
  if (read.isNull()) {
    ui_message_box(kNotAPicture, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  set_picture(read);
}

void CPictureWindow::paste() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  QImage pasted = data && data->hasImage() ? qvariant_cast<QImage>(data->imageData()) : QImage();
  if (pasted.isNull()) {
    ui_message_box(kNoPictureToPaste, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  set_picture(pasted);
}

std::string CPictureWindow::current_file() const {
  return bitmap_file_of(picture_);
}
