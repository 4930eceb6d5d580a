#include "app/button_bitmaps.h"

#include "app/resource_ids.h"

namespace {

struct bitmap_entry {
  int up;
  int down;
  button_picture what;
};

constexpr bitmap_entry kBitmaps[] = {
    {IDB_REPLY_UP, IDB_REPLY_DOWN, button_picture::reply},
    {IDB_REPLY_ALL_UP, IDB_REPLY_ALL_DOWN, button_picture::reply_all},
    {IDB_FORWARD_UP, IDB_FORWARD_DOWN, button_picture::forward},
    {IDB_REDIRECT_UP, IDB_REDIRECT_DOWN, button_picture::redirect},
    {IDB_TRASH_UP, IDB_TRASH_DOWN, button_picture::trash},
    {IDB_SAVE_UP, IDB_SAVE_DOWN, button_picture::save},
    {IDB_MOVE_UP, IDB_MOVE_DOWN, button_picture::move},
    {IDB_DELETE_UP, IDB_DELETE_DOWN, button_picture::remove},
    {IDB_PRINT_UP, IDB_PRINT_DOWN, button_picture::print},
    {IDB_CLOSE_UP, IDB_CLOSE_DOWN, button_picture::close},
};

}  // namespace

QPixmap button_bitmap(int resource) {
  for (const bitmap_entry& entry : kBitmaps)
    if (resource == entry.up || resource == entry.down)
      return ui_button_picture(entry.what, resource == entry.down);
  return {};
}
