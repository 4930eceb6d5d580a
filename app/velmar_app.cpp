#include "app/velmar_app.h"

#include <QApplication>
#include <filesystem>

#include "app/about_dialog.h"
#include "app/chinese_dialog.h"
#include "app/cns_view.h"
#include "app/environment_dialog.h"
#include "app/fetch_command.h"
#include "app/gb_view.h"
#include "app/han_view.h"
#include "app/huge_view.h"
#include "app/list_view.h"
#include "app/mailbox_commands.h"
#include "app/main_frame.h"
#include "app/main_window_place.h"
#include "app/menus.h"
#include "app/network_dialog.h"
#include "app/path_dialog.h"
#include "app/program_icon.h"
#include "app/resource_ids.h"
#include "app/velmar_doc.h"
#include "app/viewer_services.h"
#include "chinese/charset_labels.h"
#include "chinese/font_names.h"
#include "letter/editor_view.h"
#include "letter/raw_view.h"
#include "letter/viewer_child_wnd.h"
#include "letter/viewer_view.h"
#include "model/huge.h"
#include "platform/file_names.h"
#include "platform/scratch_directory.h"
#include "ui/ui_asker.h"
#include "ui/ui_child_frame.h"
#include "ui/ui_doc_template.h"
#include "ui/ui_ids.h"

namespace {

constexpr const char* kListDocString =
    "\nKestrel\nKestrel 邮箱\nKestrel 邮箱文件 (*.box)\n.box\nKestrel.邮箱\nKestrel 邮箱";
// The other views of a mailbox offer nothing to File New.
constexpr const char* kPartDocString =
    "\nKestrel\n\nKestrel 邮箱文件 (*.box)\n.box\nKestrel.邮箱\nKestrel 邮箱";

bool holds_fonts(const std::string& directory) {
  std::error_code error;
  return std::filesystem::exists(host_path(font_path(directory, kHzk16Name)), error) ||
         std::filesystem::exists(host_path(font_path(directory, "hzk16")), error);
}

}  // namespace

CVelmarApp::CVelmarApp()
    : ui_application("Kestrel"),
      mailboxes_(std::make_unique<mailbox_commands>(*this)),
      viewer_services_(std::make_unique<viewer_services>(*this)),
      fetch_(std::make_unique<fetch_command>(*this)) {
  on_command(ID_FETCH_MAIL, [this] { fetch_->run(); });
  on_command(ID_SETTING_NETWORK, [this] { on_network_setting(); });
  on_command(ID_SETTING_CHINESE, [this] { on_chinese_setting(); });
  on_command(ID_SETTING_PATHS, [this] { on_path_setting(); });
  on_command(ID_APP_ABOUT, [this] { CAboutDialog(frame_.get()).run(); });
  on_command(ID_MAILBOX_IN, [this] { mailboxes_->open_in(); });
  on_command(ID_MAILBOX_OUT, [this] { mailboxes_->open_out(); });
  on_command(ID_MAILBOX_TRASH, [this] { mailboxes_->open_trash(); });
  on_command(ID_MAILBOX_NEW, [this] { mailboxes_->new_mailbox(); });
  on_command(ID_MAILBOX_DELETE, [this] { mailboxes_->delete_mailbox(); });
  on_state(ID_MAILBOX_DELETE,
           [this](ui_command_state& state) { state.enabled = !settings_.user_mailboxes.empty(); });
  on_command_range(ID_USER_MAILBOX_FIRST, ID_USER_MAILBOX_FIRST + kUserMailboxSlots - 1,
                   [this](int id) { mailboxes_->open_user(id - ID_USER_MAILBOX_FIRST); });
  on_state_range(ID_USER_MAILBOX_FIRST, ID_USER_MAILBOX_FIRST + kUserMailboxSlots - 1,
                 [this](int id, ui_command_state& state) {
                   state.enabled = id - ID_USER_MAILBOX_FIRST <= settings_.last_mailbox_index();
                 });
}

CVelmarApp::~CVelmarApp() {
  close_all_documents();
  set_main_frame(nullptr);
  frame_.reset();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

CVelmarApp* CVelmarApp::instance() {
  return dynamic_cast<CVelmarApp*>(ui_application::instance());
}

CMainFrame* CVelmarApp::frame() const {
  return frame_.get();
}

bool CVelmarApp::init_instance(const std::vector<std::string>& files,
                               const std::string& profile_path) {
  if (!scratch_directory()) {
    ui_message_box(kPlatformFailed, MB_OK | MB_ICONSTOP);
    return false;
  }
  ui_dialog::set_colors(QColor(192, 192, 192), QColor(0, 0, 0));
  QApplication::setWindowIcon(program_icon());
  load_profile(profile_path);
  settings_.read_configuration(profile());
  set_font_directories();
  register_templates();
  settings_.read_user_mailboxes(profile());
  settings_.read_environment(profile());

  CEnvironmentDialog environment;
  environment.environment = settings_.oper_system;
  environment.run();
  settings_.oper_system = environment.environment;

  frame_ = std::make_unique<CMainFrame>();
  set_main_frame(frame_.get());
  frame_->update_menu();
  frame_->update_title();
  show_main_window(*frame_, settings_);

  if (files.empty()) {
    mailboxes_->open_in();
  } else {
    for (const std::string& file : files)
      open_document_file(file);
  }
  // Every menu got the user mailboxes when it was built, the mailbox list's
  // menu included, so none lists them twice and none lacks them.

  if (!settings_.split_account()) ui_message_box(kAccountMessage, MB_OK | MB_ICONEXCLAMATION);
  settings_.read_chinese(profile());
  apply_chinese_platform();
  settings_.password.clear();
  fetch_->run();
  return true;
}

void CVelmarApp::exit_instance() {
  hbf_unload(fonts_.kcm14);
  hbf_unload(fonts_.cns1);
  hbf_unload(fonts_.cns2);
  fonts_ = chinese_fonts{};
  if (frame_) keep_main_window_place(*frame_, settings_);
  settings_.write(profile());
  scratch_directory_remove();
}

void CVelmarApp::register_templates() {
  auto list = std::make_unique<ui_doc_template>(
      IDR_VELMARTYPE, kListDocString, &mailbox_menu(), [this] { return new CVelmarDoc(servers_); },
      [](ui_document&) { return new CListView; });
  list_template_ = list.get();
  add_doc_template(std::move(list));
  auto viewer = std::make_unique<ui_doc_template>(
      IDR_PARTTYPE, kPartDocString, &mailbox_menu(), [this] { return new CVelmarDoc(servers_); },
      [this](ui_document&) { return new CViewerView(*viewer_services_); },
      [] { return new CViewerChildWnd; });
  viewer_template_ = viewer.get();
  add_doc_template(std::move(viewer));
  auto editor = std::make_unique<ui_doc_template>(
      IDR_PARTTYPE, kPartDocString, &mailbox_menu(), [this] { return new CVelmarDoc(servers_); },
      [this](ui_document&) { return new CEditorView(*viewer_services_); });
  editor_template_ = editor.get();
  add_doc_template(std::move(editor));
  // The object views are the items' own windows.
  for (chinese_view view :
       {chinese_view::big5, chinese_view::gb, chinese_view::cns, chinese_view::huge}) {
    auto part = std::make_unique<ui_doc_template>(
        IDR_PARTTYPE, kPartDocString, &mailbox_menu(), [this] { return new CVelmarDoc(servers_); },
        [this, view](ui_document&) -> ui_view* {
          std::string text = current_part_text();
          switch (view) {
            case chinese_view::big5:
              return new CHanView(fonts(), std::move(text));
            case chinese_view::gb:
              return new CGBView(fonts(), std::move(text));
            case chinese_view::cns:
              return new CcnsView(fonts(), std::move(text));
            case chinese_view::huge:
              break;
          }
          return new CHugeView(fonts(), std::move(text));
        });
    part_templates_.emplace_back(view, part.get());
    add_doc_template(std::move(part));
  }
  auto raw = std::make_unique<ui_doc_template>(
      IDR_PARTTYPE, kPartDocString, &mailbox_menu(), [this] { return new CVelmarDoc(servers_); },
      [this](ui_document&) { return new CRawView(current_part_, settings_.hzos); });
  raw_template_ = raw.get();
  add_doc_template(std::move(raw));
}

item_container CVelmarApp::items_of(CVelmarDoc& document) {
  return {document.data(), document, static_cast<int>(settings_.oper_system), servers_};
}

viewer_host& CVelmarApp::letter_windows() {
  return *viewer_services_;
}

ui_doc_template* CVelmarApp::part_template(chinese_view view) const {
  for (const auto& [kind, part] : part_templates_)
    if (kind == view) return part;
  return nullptr;
}

void CVelmarApp::set_font_directories() {
  font_directory_ = ::font_directory(settings_.work_directory);
}

chinese_fonts& CVelmarApp::fonts() {
  std::string directory = host_path(font_directory_);
  if (!holds_fonts(directory)) directory = installed_font_directory();
  fonts_.directory = directory;
  // The ASCII font is ours, so a font folder of another program lacks it.
  if (!fonts_.ascii_loaded)
    fonts_.ascii_loaded = ascii_font_load(fonts_.ascii, directory) ||
                          ascii_font_load(fonts_.ascii, installed_font_directory());
  return fonts_;
}

void CVelmarApp::add_user_mailboxes(ui_menu& menu) {
  mailboxes_->add_user_mailboxes(menu);
}

std::string CVelmarApp::current_part_text() const {
  if (!current_part_) return {};
  if (const CHuge* bytes = current_part_->huge()) return std::string(bytes->bytes());
  return current_part_->text;
}

ui_child_frame* CVelmarApp::open_part_window(chinese_view view, CVelmarDoc& document,
                                             const CBody& part, const std::string& title) {
  return open_part_window(part_template(view), document, part, title);
}

ui_child_frame* CVelmarApp::open_part_window(ui_doc_template* part_template, CVelmarDoc& document,
                                             const CBody& part, const std::string& title) {
  if (!part_template) return nullptr;
  current_part_ = &part;
  ui_child_frame* frame = part_template->create_new_frame(document);
  current_part_ = nullptr;
  part_template->initial_update_frame(frame);
  frame->set_caption(title);
  return frame;
}

void CVelmarApp::apply_chinese_platform() {
  codec().set_platform(settings_.hzos);
  for (ui_document* document : documents())
    document->update_all_views(nullptr);
}

void CVelmarApp::on_network_setting() {
  CNetworkDialog dialog(frame_.get());
  dialog.account = settings_.imap_account;
  dialog.real_name = settings_.real_name;
  dialog.smtp_server = settings_.smtp_server;
  dialog.return_address = settings_.return_address;
  dialog.check_interval = settings_.check_interval;
  dialog.transfer_mode = static_cast<int>(settings_.net_link);
  if (dialog.run() != IDOK) return;
  settings_.imap_account = dialog.account;
  settings_.real_name = dialog.real_name;
  settings_.smtp_server = dialog.smtp_server;
  settings_.return_address = dialog.return_address;
  settings_.check_interval = dialog.check_interval;
  settings_.net_link = dialog.transfer_mode;
  if (!settings_.split_account()) ui_message_box(kAccountMessage, MB_OK | MB_ICONEXCLAMATION);
}

void CVelmarApp::on_chinese_setting() {
  CChineseDialog dialog(frame_.get());
  dialog.platform = settings_.hzos;
  dialog.interchange_code = settings_.compose_cc;
  while (dialog.run() == IDOK) {
    settings_.hzos = dialog.platform;
    settings_.compose_cc = dialog.interchange_code;
    if (charset_setting_valid(settings_.hzos, settings_.compose_cc)) break;
    ui_message_box(std::string(kInvalidChoiceMessage), MB_OK | MB_ICONEXCLAMATION);
  }
  apply_chinese_platform();
}

void CVelmarApp::on_path_setting() {
  CPathDialog dialog(frame_.get());
  dialog.in_path = settings_.in_path;
  dialog.out_path = settings_.out_path;
  dialog.trash_path = settings_.trash_path;
  dialog.work_directory = settings_.work_directory;
  if (dialog.run() != IDOK) return;
  settings_.in_path = dialog.in_path;
  settings_.out_path = dialog.out_path;
  settings_.trash_path = dialog.trash_path;
  settings_.work_directory = without_trailing_separator(dialog.work_directory);
  set_font_directories();
}
