#include "media/private_format.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "model/cntr_item.h"

const QString& private_clipboard_format() {
  // The name Qt gives a clipboard format known by its name alone.
  static const QString format =
      QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(kPrivateFormatName);
  return format;
}

bool copy_item_to_clipboard(const CVelmarCntrItem& item, const std::string& stored_form) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return false;
  auto* data = new QMimeData;
  data->setData(private_clipboard_format(),
                QByteArray(stored_form.data(), static_cast<qsizetype>(stored_form.size())));
  if (const std::optional<embedded_object>& object = item.object()) {
    const QByteArray file(object->file.data(), static_cast<qsizetype>(object->file.size()));
    switch (kind_of_type_name(object->type_name)) {
      case kKindPicture:
        data->setImageData(QImage::fromData(file, "BMP"));
        break;
      case kKindSound:
        data->setData(QStringLiteral("audio/wav"), file);
        break;
    }
  }
  clipboard->setMimeData(data);
  return true;
}

std::optional<std::string> private_clipboard_data() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
  if (!data || !data->hasFormat(private_clipboard_format())) return std::nullopt;
  const QByteArray bytes = data->data(private_clipboard_format());
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
