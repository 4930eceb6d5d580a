#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/velmar_settings.h"
#include "chinese/view_fonts.h"
#include "media/item_commands.h"
#include "media/object_servers.h"
#include "ui/ui_application.h"

class CBody;
class CMainFrame;
class CVelmarDoc;
class fetch_command;
class mailbox_commands;
class viewer_host;
class viewer_services;
class ui_child_frame;
class ui_doc_template;
class ui_menu;

// The application: the settings of the run, the document templates, the
// start-up questions, the settings dialogs and the exit.
class CVelmarApp : public ui_application {
 public:
  CVelmarApp();
  ~CVelmarApp() override;

  static CVelmarApp* instance();

  // The start-up: the platform, the settings from the profile file, the
  // templates, the environment question, the main frame, the In mailbox (or
  // the mailbox files named), the account, then the fetch dialog. False when
  // the program must end.
  bool init_instance(const std::vector<std::string>& files, const std::string& profile_path);
  // The fonts freed and the settings put into the profile.
  void exit_instance() override;

  velmar_settings& settings() { return settings_; }
  CMainFrame* frame() const;
  mailbox_commands& mailboxes() { return *mailboxes_; }
  fetch_command& fetcher() { return *fetch_; }

  // The font directory, "<work directory>\ccfont\", and the fonts of the
  // Chinese views: from that directory when it holds them, else from the
  // fonts installed with the program; each loaded on first use.
  const std::string& font_directory() const { return font_directory_; }
  chinese_fonts& fonts();

  // The templates of the mailbox list, the viewer, the composer, the Chinese
  // views and the raw view.
  ui_doc_template* list_template() const { return list_template_; }
  ui_doc_template* viewer_template() const { return viewer_template_; }
  ui_doc_template* editor_template() const { return editor_template_; }
  ui_doc_template* part_template(chinese_view view) const;
  ui_doc_template* raw_template() const { return raw_template_; }

  // What the letter windows use of the program.
  viewer_host& letter_windows();
  // The embedded items of a mailbox and their programs.
  item_container items_of(CVelmarDoc& document);
  object_servers& servers() { return servers_; }

  // What other parts of the program read.
  const std::string& imap_account() const { return settings_.imap_account; }
  const std::string& user_name() const { return settings_.user_name; }
  std::string return_host() const { return settings_.return_host(); }
  const std::string& smtp_server() const { return settings_.smtp_server; }
  const std::string& password() const { return settings_.password; }
  std::string server_mailbox() const { return settings_.server_mailbox(); }
  long transfer_mode() const { return settings_.net_link; }

  // Adds the user mailboxes to a menu as it is built: a separator, then one
  // item per mailbox.
  void add_user_mailboxes(ui_menu& menu);

  // Opens a Chinese text window on a part of a letter of a mailbox, with a
  // caption of its own.
  ui_child_frame* open_part_window(chinese_view view, CVelmarDoc& document, const CBody& part,
                                   const std::string& title);
  // The same for a window of any part template; null when it cannot be made.
  ui_child_frame* open_part_window(ui_doc_template* part_template, CVelmarDoc& document,
                                   const CBody& part, const std::string& title);
  // The text (or bytes) of the part a part window being made is to show.
  std::string current_part_text() const;

  // The settings dialogs.
  void on_network_setting();
  void on_chinese_setting();
  void on_path_setting();

 private:
  void register_templates();
  void set_font_directories();
  void apply_chinese_platform();

  velmar_settings settings_;
  // Before the documents, which close their items' windows as they go.
  object_servers servers_;
  std::string font_directory_;
  chinese_fonts fonts_;
  std::unique_ptr<mailbox_commands> mailboxes_;
  std::unique_ptr<viewer_services> viewer_services_;
  std::unique_ptr<fetch_command> fetch_;
  ui_doc_template* list_template_ = nullptr;
  ui_doc_template* viewer_template_ = nullptr;
  ui_doc_template* editor_template_ = nullptr;
  ui_doc_template* raw_template_ = nullptr;
  std::vector<std::pair<chinese_view, ui_doc_template*>> part_templates_;
  std::unique_ptr<CMainFrame> frame_;
  const CBody* current_part_ = nullptr;
};

// Shown when the platform cannot be started.
inline constexpr const char* kPlatformFailed = "OLE 2.0 初始化失败，确认 OLE 库是否正确版本。";
