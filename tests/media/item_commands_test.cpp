// Insert New Object through the dialog, Escape, and an item's bytes taken
// out through the real clipboard.

#include "media/item_commands.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <fstream>

#include "media/media_ids.h"
#include "media/object_servers.h"
#include "media/picture_window.h"
#include "media/sound_window.h"
#include "model/object_files.h"
#include "model/velmar_doc_data.h"
#include "tests/media/media_site.h"
#include "tests/support/media_files.h"
#include "tests/support/qt_flush.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/table.h"
#include "ui/ui_dialog.h"
#include "ui/ui_script.h"

namespace {

using strings = std::vector<std::string>;

QImage image_of(const std::string& bytes) {
  return QImage::fromData(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())))
      .convertToFormat(QImage::Format_RGB32);
}

struct insert_row {
  std::string name;
  int type;
  std::string file;       // a file of the folder to make it from, empty for a new object
  std::string type_name;  // of the item made; empty for none
  bool window;            // shown in its program's window
  strings shown;          // the messages, after the dialog
};

class InsertNewObject : public testing::TestWithParam<insert_row> {
 protected:
  void SetUp() override {
    QImage png(7, 5, QImage::Format_RGB32);
    png.fill(QColor(10, 200, 30));
    png.setPixel(3, 2, qRgb(255, 0, 0));
    png.save(qstr("png"), "PNG");
    std::ofstream(path("txt")) << "not a picture";
  }
  static QString qstr(const std::string& name) { return QString::fromStdString(path(name)); }
  static std::string path(const std::string& name) {
    static scratch_folder folder;
    return folder.file("file." + name);
  }

  CVelmarDocData document_;
  media_site site_;
  object_servers servers_;
  item_container container_{document_, site_, 1, servers_};
};

TEST_P(InsertNewObject, MakesTheItem) {
  const insert_row& row = GetParam();
  ui_script script;
  script.answer_dialog(IDD_INSERT_OBJECT, [&](ui_dialog& dialog) {
    dialog.select(IDC_OBJECT_TYPES, row.type);
    dialog.set_checked(row.file.empty() ? IDC_CREATE_NEW : IDC_CREATE_FROM_FILE, true);
    if (!row.file.empty()) dialog.set_text(IDC_OBJECT_FILE, path(row.file));
    return true;
  });
  CVelmarCntrItem* item = insert_new_object(container_);
  strings shown = script.shown();
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.front(), "dialog 7000 插入对象");
  EXPECT_EQ(strings(shown.begin() + 1, shown.end()), row.shown);
  if (row.type_name.empty()) {
    EXPECT_EQ(item, nullptr);
    EXPECT_TRUE(document_.items.empty());
    return;
  }
  ASSERT_NE(item, nullptr);
  ASSERT_EQ(document_.items.size(), 1u);
  EXPECT_EQ(item->GetTypeName(), row.type_name);
  EXPECT_EQ(item->environment, 1);
  EXPECT_NE(item->extent, item_extent{}) << "sized by its program";
  object_window* window = servers_.window_of(*item);
  EXPECT_EQ(window != nullptr, row.window);
  EXPECT_EQ(item->open, row.window);
  if (row.file == "png") {
    EXPECT_TRUE(bitmap_file_facts(item->object()->file));
    EXPECT_EQ(image_of(item->object()->file),
              QImage(qstr("png")).convertToFormat(QImage::Format_RGB32));
  }
  // Escape closes a window the insertion showed.
  servers_.close_shown(*item);
  qt_flush();
  EXPECT_EQ(servers_.window_of(*item), nullptr);
  EXPECT_FALSE(item->open);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, InsertNewObject,
    testing::Values(
        insert_row{"new_picture", 0, "", "Paintbrush Picture", true, {}},
        insert_row{"new_sound", 1, "", "Sound", true, {}},
        insert_row{
            "picture_from_a_png_file_made_a_bitmap", 0, "png", "Paintbrush Picture", false, {}},
        insert_row{"picture_from_a_text_file_fails",
                   0,
                   "txt",
                   "",
                   false,
                   {"message Command failed. [ok]"}},
        insert_row{
            "sound_from_a_picture_fails", 1, "png", "", false, {"message Command failed. [ok]"}}),
    row_name());

TEST(InsertObjectDialog, CancelMakesNothingAndAMissingFileIsRefused) {
  CVelmarDocData document;
  media_site site;
  object_servers servers;
  ui_script script;
  script
      .answer_dialog(IDD_INSERT_OBJECT,
                     [](ui_dialog& dialog) {
                       dialog.set_checked(IDC_CREATE_FROM_FILE, true);
                       dialog.set_text(IDC_OBJECT_FILE, "/no/such/file.bmp");
                       return true;
                     })
      .press_cancel(IDD_INSERT_OBJECT);
  EXPECT_EQ(insert_new_object({document, site, 0, servers}), nullptr);
  EXPECT_EQ(script.messages(), strings{"The file cannot be found: /no/such/file.bmp"});
  EXPECT_TRUE(document.items.empty());
}

// Taking a picture's file out goes through the clipboard, which then offers
// the private format holding the item's stored form, and the picture.
TEST(PrivateFormat, HoldsTheStoredFormOnTheClipboard) {
  media_site site;
  CVelmarCntrItem item(&site);
  const std::string picture = test_bitmap(9, 4);
  ASSERT_TRUE(item.Put(picture, 2, kKindPicture));
  std::optional<memory_block> got = item.Get(2, kKindPicture);
  ASSERT_TRUE(got);
  EXPECT_TRUE(std::string(reinterpret_cast<const char*>(got->data()), got->size()) == picture);
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(private_clipboard_format(),
            "application/x-qt-windows-mime;value=\"MFC OClient Sample\"");
  const QByteArray held = data->data(private_clipboard_format());
  EXPECT_TRUE(std::string(held.constData(), static_cast<std::size_t>(held.size())) ==
              item.stored_form(2));
  EXPECT_EQ(qvariant_cast<QImage>(data->imageData()).convertToFormat(QImage::Format_RGB32),
            image_of(picture));
  EXPECT_TRUE(site.told.empty());
}

}  // namespace
