#include "media/item_commands.h"

#include <QImage>

#include "media/insert_object_dialog.h"
#include "media/object_servers.h"
#include "media/picture_window.h"
#include "model/body.h"
#include "model/huge.h"
#include "model/object_files.h"
#include "model/velmar_doc_data.h"
#include "platform/whole_file.h"
#include "ui/ui_asker.h"
#include "ui/ui_ids.h"
#include "ui/ui_text.h"
#include "ui/ui_wait_cursor.h"

namespace {

// A new picture: white, of the size a paint program starts with.
constexpr int kNewPictureWidth = 320;
constexpr int kNewPictureHeight = 240;

CVelmarCntrItem& new_item(const item_container& container) {
  auto item = std::make_unique<CVelmarCntrItem>(&container.site);
  item->environment = container.environment;
  container.document.items.push_back(std::move(item));
  return *container.document.items.back();
}

}  // namespace

std::optional<embedded_object> chosen_object(int type, bool from_file, const std::string& path) {
  const bool picture = type == 0;
  if (!from_file) {
    if (!picture) return embedded_object{kSoundTypeName, empty_wave_file()};
    QImage blank(kNewPictureWidth, kNewPictureHeight, QImage::Format_RGB32);
    blank.fill(Qt::white);
    return embedded_object{kPictureTypeName, bitmap_file_of(blank)};
  }
  std::optional<std::string> bytes = read_whole_file(path);
  if (!bytes) return std::nullopt;
  if (!picture) {
    if (!wave_file_facts(*bytes)) return std::nullopt;
    return embedded_object{kSoundTypeName, std::move(*bytes)};
  }
  // A bitmap file stays as it is; other pictures become one.
  if (bitmap_file_facts(*bytes)) return embedded_object{kPictureTypeName, std::move(*bytes)};
  QImage read = QImage::fromData(QByteArray(bytes->data(), static_cast<qsizetype>(bytes->size())));
  if (read.isNull()) return std::nullopt;
  return embedded_object{kPictureTypeName, bitmap_file_of(read)};
}

CVelmarCntrItem* insert_new_object(const item_container& container) {
  CInsertObjectDialog dialog;
  if (dialog.run() != IDOK) return nullptr;
  ui_wait_cursor busy;
  CVelmarCntrItem& item = new_item(container);
  std::optional<embedded_object> object = chosen_object(dialog.type, dialog.from_file, dialog.file);
  if (!object) {
    delete_item(container, item);
    ui_message_box(kCommandFailed, MB_OK | MB_ICONEXCLAMATION);
    return nullptr;
  }
  item.set_object(std::move(*object));
  item.update_extent();
  if (!dialog.from_file) container.servers.DoVerb(item, kVerbShow);
  return &item;
}

part_object open_part_object(const item_container& container, const CBody& part) {
  CVelmarCntrItem& item = new_item(container);
  const CHuge* huge = part.huge();
  const std::string_view bytes = huge ? huge->bytes() : std::string_view();
  if (!item.Put(bytes, container.environment, kind_of_subtype(part.subtype))) {
    delete_item(container, item);
    return part_object::not_loaded;
  }
  return container.servers.DoVerb(item, kVerbOpen) ? part_object::opened : part_object::not_opened;
}

void delete_item(const item_container& container, CVelmarCntrItem& item) {
  container.servers.forget(item);
  auto& items = container.document.items;
  std::erase_if(items, [&](const auto& held) { return held.get() == &item; });
}
