#include "app/menus.h"

#include "app/resource_ids.h"
#include "ui/ui_ids.h"

namespace {

ui_menu_item item(const char* text, int id, const char* prompt) {
  return {text, id, {}, prompt};
}

ui_menu_item popup(const char* text, std::vector<ui_menu_item> items) {
  return {text, 0, std::move(items), {}};
}

std::vector<ui_menu_item> recent_files() {
  std::vector<ui_menu_item> items;
  for (int i = 0; i < kRecentFileCount; ++i)
    items.push_back(item("最近文件", ID_FILE_MRU_FILE1 + i, "打开这个邮箱"));
  return items;
}

ui_menu_item file_popup(bool with_document) {
  std::vector<ui_menu_item> items{
      item("新建(&N)\tCtrl+N", ID_FILE_NEW, "新建一个邮箱"),
      item("打开(&O)...\tCtrl+O", ID_FILE_OPEN, "打开一个邮箱文件"),
  };
  if (with_document) {
    items.push_back(item("关闭(&C)", ID_FILE_CLOSE, "关闭这个邮箱"));
    items.push_back(item("保存(&S)\tCtrl+S", ID_FILE_SAVE, "保存这个邮箱"));
    items.push_back(item("另存为(&A)...", ID_FILE_SAVE_AS, "用新的名字保存这个邮箱"));
  }
  items.push_back(ui_separator());
  items.push_back(item("取邮件(&M)", ID_FETCH_MAIL, "从服务器取邮件"));
  items.push_back(ui_separator());
  if (with_document) {
    items.push_back(item("打印(&P)...\tCtrl+P", ID_FILE_PRINT, "打印这个邮箱"));
    items.push_back(item("打印预览(&V)", ID_FILE_PRINT_PREVIEW, "显示打印出来的样子"));
  }
  items.push_back(item("打印设置(&R)...", ID_FILE_PRINT_SETUP, "选择打印机和打印选项"));
  items.push_back(ui_separator());
  for (ui_menu_item& recent : recent_files())
    items.push_back(std::move(recent));
  items.push_back(ui_separator());
  items.push_back(item("退出(&X)", ID_APP_EXIT, "退出 Kestrel"));
  return popup("文件(&F)", std::move(items));
}

ui_menu_item mailbox_popup() {
  return popup("邮箱(&M)", {
                               item("&In", ID_MAILBOX_IN, "打开 In 邮箱"),
                               item("&Out", ID_MAILBOX_OUT, "打开 Out 邮箱"),
                               item("&Trash", ID_MAILBOX_TRASH, "打开 Trash 邮箱"),
                               ui_separator(),
                               item("新建(&N)", ID_MAILBOX_NEW, "新建一个用户邮箱"),
                               item("删除(&D)", ID_MAILBOX_DELETE, "删除一个用户邮箱"),
                           });
}

ui_menu_item settings_popup(bool with_document) {
  std::vector<ui_menu_item> items{
      item("网络(&N)", ID_SETTING_NETWORK, "设置帐号和服务器"),
      item("中文(&C)", ID_SETTING_CHINESE, "设置中文平台和交换码"),
  };
  if (with_document) items.push_back(item("路径(&P)", ID_SETTING_PATHS, "设置邮箱的路径"));
  return popup("系统设置(&O)", std::move(items));
}

ui_menu_item edit_popup() {
  return popup("编辑(&E)",
               {
                   item("撤消(&U)\tCtrl+Z", ID_EDIT_UNDO, "撤消上一次编辑"),
                   ui_separator(),
                   item("剪切(&T)\tCtrl+X", ID_EDIT_CUT, "剪切选中的文字"),
                   item("复制(&C)\tCtrl+C", ID_EDIT_COPY, "复制选中的内容"),
                   item("粘贴(&P)\tCtrl+V", ID_EDIT_PASTE, "粘贴剪贴板的文字"),
                   item("清除(&E)", ID_EDIT_CLEAR, "删除选中的文字"),
                   ui_separator(),
                   item("全选(&A)\tCtrl+A", ID_EDIT_SELECT_ALL, "选中全部"),
                   ui_separator(),
                   item("插入新对象(&O)...", ID_OLE_INSERT_NEW, "插入一幅图画或一段声音"),
               });
}

ui_menu_item window_popup() {
  return popup("窗口(&W)", {
                               item("新建窗口(&N)", ID_WINDOW_NEW, "为这个邮箱再开一个窗口"),
                               item("层叠(&C)", ID_WINDOW_CASCADE, "层叠排列窗口"),
                               item("平铺(&T)", ID_WINDOW_TILE_HORZ, "平铺排列窗口"),
                           });
}

ui_menu_item help_popup() {
  return popup("帮助(&H)", {item("关于 Kestrel(&A)...", ID_APP_ABOUT, "显示程序的版本")});
}

}  // namespace

const ui_menu_resource& main_menu() {
  static const ui_menu_resource menu{
      IDR_MAINFRAME, {file_popup(false), mailbox_popup(), settings_popup(false), help_popup()}};
  return menu;
}

const ui_menu_resource& mailbox_menu() {
  static const ui_menu_resource menu{IDR_VELMARTYPE,
                                     {file_popup(true), mailbox_popup(), edit_popup(),
                                      settings_popup(true), window_popup(), help_popup()}};
  return menu;
}
