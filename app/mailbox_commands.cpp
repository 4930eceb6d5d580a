#include "app/mailbox_commands.h"

#include <strings.h>

#include <QMenu>
#include <QPointer>
#include <cstring>
#include <filesystem>

#include "app/delete_mailbox_dialog.h"
#include "app/list_view.h"
#include "app/main_frame.h"
#include "app/menus.h"
#include "app/move_dialog.h"
#include "app/new_mailbox_dialog.h"
#include "app/resource_ids.h"
#include "app/velmar_app.h"
#include "app/velmar_doc.h"
#include "platform/file_names.h"
#include "ui/ui_asker.h"
#include "ui/ui_child_frame.h"
#include "ui/ui_doc_template.h"
#include "ui/ui_ids.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kNoName = "不能创建没有名字的邮箱!";
constexpr const char* kNoMailboxToDelete = "没有选择邮箱，删除失败.";
constexpr const char* kAlsoOnDisk = "连磁盘上的邮箱也一起删除吗?";
constexpr carry_texts kListTexts{"创建新的 Trash 邮箱吗?",
                                 "Trash 操作没有完成!",
                                 "没选择邮箱，转移失败.",
                                 "转移邮件到邮箱: ",
                                 "创建新的 ",
                                 " 邮箱?",
                                 "转移失败!"};
constexpr carry_texts kViewerTexts{"Create a new Trash mailbox?",
                                   "Cannot trash!",
                                   "Selete no mailbox. Move fail.",
                                   "Move the letter to mailbox: ",
                                   "Create a new ",
                                   " mailbox?",
                                   "Cannot move!"};
constexpr const char* kForbiddenCharacters = "\\/:*?\"<>|";

int ask(const std::string& question) {
  return ui_message_box(question, MB_YESNO | MB_ICONQUESTION);
}

void tell(const std::string& message) {
  ui_message_box(message, MB_OK | MB_ICONEXCLAMATION);
}

// "&" in a mailbox name is shown, not taken for an access key.
std::string item_text(const std::string& name) {
  std::string text;
  for (char c : name) {
    text += c;
    if (c == '&') text += '&';
  }
  return text;
}

std::string parent_folder(const std::string& path) {
  return fs::path(path).parent_path().string();
}

bool same_name(const std::string& a, const std::string& b) {
  return ::strcasecmp(a.c_str(), b.c_str()) == 0;
}

}  // namespace

std::string mailbox_name_problem(const std::string& name, const std::vector<std::string>& names) {
  for (char c : name)
    if (static_cast<unsigned char>(c) < 0x20 || std::strchr(kForbiddenCharacters, c))
      return "邮箱名不能含有 \\ / : * ? \" < > | 这些字符。";
  if (name == "." || name == "..") return "邮箱名不能是 " + name + "。";
  for (const char* standard : {"In", "Out", "Trash"})
    if (same_name(name, standard)) return "邮箱 " + name + " 已经存在。";
  for (const std::string& existing : names)
    if (same_name(name, existing)) return "邮箱 " + name + " 已经存在。";
  if (names.size() >= static_cast<std::size_t>(kUserMailboxSlots))
    return "用户邮箱已满，最多只能有 " + std::to_string(kUserMailboxSlots) + " 个。";
  return {};
}

std::string mailbox_commands::user_mailbox_path(const std::string& name) const {
  const std::string& work = app_.settings().work_directory;
  return work.empty() ? name + ".box" : work + "/" + name + ".box";
}

std::string mailbox_commands::folder_for(const std::string& path) const {
  std::error_code error;
  if (!path.empty()) {
    std::string folder = parent_folder(host_path(path));
    if (!folder.empty() && fs::is_directory(folder, error)) return folder;
  }
  const std::string& work = app_.settings().work_directory;
  if (!work.empty() && fs::is_directory(host_path(work), error)) return host_path(work);
  return {};
}

std::optional<std::string> mailbox_commands::create_missing(const std::string& title,
                                                            const std::string& mailbox_name,
                                                            const std::string& folder) {
  ui_document* made = app_.list_template()->open_document_file({});
  auto* mailbox = dynamic_cast<CVelmarDoc*>(made);
  if (!mailbox || mailbox->views().empty()) return std::nullopt;
  mailbox->set_title(title);
  mailbox->data().mailbox_name = mailbox_name;
  mailbox->set_modified();
  mailbox->set_save_folder(folder);
  QPointer<ui_document> watched(mailbox);
  if (ui_child_frame* frame = mailbox->views().front()->frame()) frame->close();
  // Saved or not, the document is closed unless the user cancelled.
  if (!watched || watched->path_name().empty()) return std::nullopt;
  return watched->path_name();
}

CVelmarDoc* mailbox_commands::open_standard(std::string& path, const std::string& title,
                                            const std::string& mailbox_name, bool reread_in) {
  for (;;) {
    if (reread_in && path.empty()) path = app_.profile().get_string(kConfiguration, "InPath");
    if (auto* opened = dynamic_cast<CVelmarDoc*>(app_.open_document_file(path, false)))
      return opened;
    if (ask("创建新的 " + title + " 邮箱吗?") != IDYES) return nullptr;
    // The mailbox's file is the one the user saved it to.
    if (std::optional<std::string> saved = create_missing(title, mailbox_name, folder_for(path)))
      path = *saved;
  }
}

CVelmarDoc* mailbox_commands::open_in() {
  return open_standard(app_.settings().in_path, "In", "IN", true);
}

void mailbox_commands::open_out() {
  open_standard(app_.settings().out_path, "Out", "OUT", false);
}

void mailbox_commands::open_trash() {
  open_standard(app_.settings().trash_path, "Trash", "TRASH", false);
}

void mailbox_commands::open_user(int index) {
  velmar_settings& settings = app_.settings();
  if (index < 0 || index > settings.last_mailbox_index()) return;
  const std::string name = settings.user_mailboxes[static_cast<std::size_t>(index)];
  for (;;) {
    if (app_.open_document_file(user_mailbox_path(name), false)) return;
    if (ask("创建新的 " + name + " 邮箱吗?") != IDYES) return;
    std::error_code error;
    std::string work = host_path(settings.work_directory);
    std::optional<std::string> saved =
        create_missing(name, name, fs::is_directory(work, error) ? work : std::string());
    if (saved) settings.work_directory = parent_folder(*saved);
  }
}

void mailbox_commands::add_user_mailboxes(ui_menu& menu) {
  const std::vector<std::string>& names = app_.settings().user_mailboxes;
  QMenu* popup = menu.popup(kMailboxPopup);
  if (!popup || names.empty()) return;
  menu.append_separator(popup);
  for (std::size_t index = 0; index < names.size(); ++index)
    menu.append_item(popup, item_text(names[index]),
                     ID_USER_MAILBOX_FIRST + static_cast<int>(index));
}

void mailbox_commands::new_mailbox() {
  CNewMailboxDialog dialog(app_.frame());
  if (dialog.run() != IDOK) return;
  if (dialog.name.empty()) {
    tell(kNoName);
    return;
  }
  std::vector<std::string>& names = app_.settings().user_mailboxes;
  if (std::string problem = mailbox_name_problem(dialog.name, names); !problem.empty()) {
    tell(problem);
    return;
  }
  names.push_back(dialog.name);
  int index = app_.settings().last_mailbox_index();
  // Every menu lists the user mailboxes, the one in use and the other.
  for (ui_menu* menu : app_.frame()->menus()) {
    QMenu* popup = menu->popup(kMailboxPopup);
    if (index == 0) menu->append_separator(popup);
    menu->append_item(popup, item_text(dialog.name), ID_USER_MAILBOX_FIRST + index);
  }
}

void mailbox_commands::delete_mailbox() {
  velmar_settings& settings = app_.settings();
  CDeleteMailboxDialog dialog(app_.frame());
  dialog.names = settings.user_mailboxes;
  if (dialog.run() != IDOK) return;
  int index = dialog.chosen_index;
  if (index < 0 || index > settings.last_mailbox_index()) {
    tell(kNoMailboxToDelete);
    return;
  }
  const std::string name = settings.user_mailboxes[static_cast<std::size_t>(index)];
  if (ask("删除邮箱: " + name + " ?") != IDYES) return;
  settings.user_mailboxes.erase(settings.user_mailboxes.begin() + index);
  for (ui_menu* menu : app_.frame()->menus()) {
    QMenu* popup = menu->popup(kMailboxPopup);
    menu->remove_at(popup, kFirstUserMailbox + index);
    if (settings.user_mailboxes.empty()) menu->remove_at(popup, kUserMailboxSeparator);
    for (int later = index; later <= settings.last_mailbox_index(); ++later)
      menu->modify_at(popup, kFirstUserMailbox + later,
                      item_text(settings.user_mailboxes[static_cast<std::size_t>(later)]),
                      ID_USER_MAILBOX_FIRST + later);
  }
  if (ask(kAlsoOnDisk) != IDYES) return;
  std::string file = host_path(user_mailbox_path(name));
  // An open window on it would write the file again when saved.
  for (const auto& doc_template : app_.doc_templates()) {
    if (ui_document* open = doc_template->document_with_path(file)) open->on_close_document();
  }
  std::error_code error;
  if (!fs::remove(file, error) && error) tell("不能删除文件 " + file + "：" + error.message());
}

void mailbox_commands::carry(CListView& list, const std::vector<int>& lines, CVelmarDoc& target) {
  CVelmarDoc* source = list.mailbox();
  if (!source) return;
  int taken = 0;
  for (int line : lines) {
    std::unique_ptr<CAletter> letter = source->take_letter(static_cast<std::size_t>(line - taken));
    if (!letter) continue;
    ++taken;
    source->set_modified();
    target.set_modified();
    target.append_letter(std::move(letter));
  }
  // The letter after the first one taken becomes the current one.
  int count = static_cast<int>(source->data().letters.size());
  source->data().current = lines.empty() ? -1 : std::min(lines.front(), count - 1);
  target.update_all_views(nullptr);
  if (ui_child_frame* own = list.frame()) own->activate();
  source->update_all_views(nullptr);
}

void mailbox_commands::carry_current(CVelmarDoc& source, CVelmarDoc& target, ui_view* sender) {
  int index = source.data().current;
  // The last letter leaves the one before it current.
  if (index == static_cast<int>(source.data().letters.size()) - 1) --source.data().current;
  std::unique_ptr<CAletter> letter = source.take_letter(static_cast<std::size_t>(index));
  if (!letter) return;
  source.set_modified();
  target.set_modified();
  target.append_letter(std::move(letter));
  target.update_all_views(nullptr);
  source.update_all_views(sender);
}

CVelmarDoc* mailbox_commands::trash_target(const carry_texts& texts) {
  std::string& path = app_.settings().trash_path;
  auto* target = dynamic_cast<CVelmarDoc*>(app_.open_document_file(path, false));
  if (target) return target;
  if (ask(texts.create_trash) != IDYES) {
    tell(texts.trash_failed);
    return nullptr;
  }
  if (std::optional<std::string> saved = create_missing("Trash", "TRASH", folder_for(path))) {
    path = *saved;
    target = dynamic_cast<CVelmarDoc*>(app_.open_document_file(path));
  }
  if (!target) tell(texts.trash_failed);
  return target;
}

CVelmarDoc* mailbox_commands::move_target(const carry_texts& texts) {
  velmar_settings& settings = app_.settings();
  CMoveDialog dialog(app_.frame());
  dialog.names = {"In", "Out", "Trash"};
  dialog.names.insert(dialog.names.end(), settings.user_mailboxes.begin(),
                      settings.user_mailboxes.end());
  if (dialog.run() != IDOK) return nullptr;
  if (dialog.chosen_index < 0) {
    tell(texts.no_mailbox);
    return nullptr;
  }
  const std::string name = dialog.chosen;
  if (ask(texts.confirm + name + " ?") != IDYES) return nullptr;
  auto* target = dynamic_cast<CVelmarDoc*>(app_.open_document_file(user_mailbox_path(name), false));
  if (target) return target;
  if (ask(texts.create_before + name + texts.create_after) != IDYES) {
    tell(texts.move_failed);
    return nullptr;
  }
  std::error_code error;
  std::string work = host_path(settings.work_directory);
  if (std::optional<std::string> saved =
          create_missing(name, name, fs::is_directory(work, error) ? work : std::string())) {
    target = dynamic_cast<CVelmarDoc*>(app_.open_document_file(*saved));
    settings.work_directory = parent_folder(*saved);
  }
  if (!target) tell(texts.move_failed);
  return target;
}

void mailbox_commands::trash_letters(CListView& list) {
  std::vector<int> lines = list.selected_lines();
  if (lines.empty()) {
    tell(kSelectFirst);
    return;
  }
  if (CVelmarDoc* target = trash_target(kListTexts)) carry(list, lines, *target);
}

void mailbox_commands::move_letters(CListView& list) {
  std::vector<int> lines = list.selected_lines();
  if (lines.empty()) {
    tell(kSelectFirst);
    return;
  }
  if (CVelmarDoc* target = move_target(kListTexts)) carry(list, lines, *target);
}

bool mailbox_commands::carry_current_to(
    CVelmarDoc& source, ui_view* sender,
    CVelmarDoc* (mailbox_commands::*target_of)(const carry_texts&)) {
  if (!source.current_letter()) return false;
  // Opening the target asks questions; the source may be gone after them.
  QPointer<ui_document> watched(&source);
  CVelmarDoc* target = (this->*target_of)(kViewerTexts);
  if (!target || !watched) return false;
  carry_current(source, *target, sender);
  return true;
}

bool mailbox_commands::trash_current(CVelmarDoc& source, ui_view* sender) {
  return carry_current_to(source, sender, &mailbox_commands::trash_target);
}

bool mailbox_commands::move_current(CVelmarDoc& source, ui_view* sender) {
  return carry_current_to(source, sender, &mailbox_commands::move_target);
}

bool mailbox_commands::keep_in_out(std::unique_ptr<CAletter> letter) {
  std::string& path = app_.settings().out_path;
  auto* out = dynamic_cast<CVelmarDoc*>(app_.open_document_file(path, false));
  if (!out) {
    if (ask("创建新的 Out 邮箱?") != IDYES) return false;
    if (std::optional<std::string> saved = create_missing("Out", "OUT", folder_for(path))) {
      path = *saved;
      out = dynamic_cast<CVelmarDoc*>(app_.open_document_file(path));
    }
    if (!out) return false;
  }
  out->append_letter(std::move(letter));
  out->set_modified();
  out->update_all_views(nullptr);
  return true;
}
