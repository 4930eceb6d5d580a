// The picture window: the picture at its size, drawn on, and given back to
// its item as a bitmap file when updated or closed.

#include "media/picture_window.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>

#include "model/object_files.h"
#include "tests/media/media_site.h"
#include "tests/support/media_files.h"
#include "tests/support/table.h"
#include "ui/ui_script.h"

namespace {

struct change_row {
  std::string name;
  void (*change)(CPictureWindow& window);
  bool close;  // given back by closing the window, else by Update
  int width, height;
  std::vector<std::string> messages;
};

class PictureWindow : public testing::TestWithParam<change_row> {};

TEST_P(PictureWindow, GivesTheChangedPictureBack) {
  const change_row& row = GetParam();
  media_site site;
  CVelmarCntrItem item(&site);
  ASSERT_TRUE(item.Put(test_bitmap(60, 40), 1, kKindPicture));
  ui_script script;
  auto* window = new CPictureWindow(item);
  EXPECT_TRUE(item.open);
  EXPECT_EQ(window->canvas()->size(), QSize(60, 40));
  row.change(*window);
  const QImage drawn = window->picture().convertToFormat(QImage::Format_RGB32);
  if (row.close) {
    window->close();
  } else {
    window->update_item();
    delete window;
  }
  EXPECT_EQ(script.messages(), row.messages);
  const std::string& file = item.object()->file;
  std::optional<bitmap_facts> facts = bitmap_file_facts(file);
  ASSERT_TRUE(facts);
  EXPECT_EQ(facts->width, row.width);
  EXPECT_EQ(QImage::fromData(QByteArray(file.data(), static_cast<qsizetype>(file.size())))
                .convertToFormat(QImage::Format_RGB32),
            drawn);
  EXPECT_EQ(site.changes, row.messages.empty() ? 1 : 0);
  EXPECT_FALSE(item.open);
}

INSTANTIATE_TEST_SUITE_P(Rows, PictureWindow,
                         testing::Values(change_row{"a_line_drawn_then_closed",
                                                    [](CPictureWindow& window) {
                                                      window.draw_line({1, 1}, {50, 30});
                                                    },
                                                    true,
                                                    60,
                                                    40,
                                                    {}},
                                         change_row{"pasted_then_updated",
                                                    [](CPictureWindow& window) {
                                                      QImage pasted(12, 8, QImage::Format_RGB32);
                                                      pasted.fill(Qt::blue);
                                                      QGuiApplication::clipboard()->setImage(
                                                          pasted);
                                                      window.paste();
                                                    },
                                                    false,
                                                    12,
                                                    8,
                                                    {}},
                                         change_row{"nothing_to_paste_changes_nothing",
                                                    [](CPictureWindow& window) {
                                                      QGuiApplication::clipboard()->setText(
                                                          "words");
                                                      window.paste();
                                                    },
                                                    true,
                                                    60,
                                                    40,
                                                    {"剪贴板上没有图片。"}}),
                         row_name());

}  // namespace
