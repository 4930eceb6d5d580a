#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/display_codec.h"
#include "platform/profile_file.h"
#include "ui/ui_command_target.h"

class QPrinter;
class ui_child_frame;
class ui_doc_template;
class ui_document;
class ui_main_frame;
class ui_view;

// The application object: its profile, its document templates, its main
// frame, and the routing of commands through the active view, its document,
// its frame, the main frame and the application.
class ui_application : public ui_command_target {
 public:
  explicit ui_application(std::string name);
  ~ui_application() override;

  static ui_application* instance();

  const std::string& name() const { return name_; }

  // The settings, read from the profile's file at start and written at exit.
  profile_file& profile() { return profile_; }
  // Reads the profile file; a file that cannot be read is reported and the
  // run starts from an empty profile.
  void load_profile(const std::string& path);
  // Writes the profile (the recent files included); a failure is reported.
  bool save_profile();

  // The code page the letters' bytes are shown in.
  display_codec& codec() { return codec_; }

  // The printer the program prints on, as Print Setup left it.
  QPrinter& printer();

  // Templates in order of registration.
  void add_doc_template(std::unique_ptr<ui_doc_template> doc_template);
  const std::vector<std::unique_ptr<ui_doc_template>>& doc_templates() const { return templates_; }

  ui_main_frame* main_frame() const { return main_frame_; }
  void set_main_frame(ui_main_frame* frame) { main_frame_ = frame; }

  // The document of a file: one already open comes forward, else the file is
  // read by the template of its extension (the first template when none
  // matches). Null when it cannot be opened; the framework's message is shown
  // unless the file is missing and report_missing is false.
  ui_document* open_document_file(const std::string& path, bool report_missing = true);

  ui_child_frame* active_frame() const;
  ui_view* active_view() const;
  ui_document* active_document() const;
  std::vector<ui_document*> documents() const;

  // Runs a command through the chain of targets; false when none handles it
  // or it is disabled now. A command that throws shows "Command failed.".
  bool run_command(int id);
  ui_command_state command_state(int id) const;

  // The recent file list (at most kRecentFileCount, newest first).
  const std::vector<std::string>& recent_files() const { return recent_; }
  void add_recent_file(const std::string& path);

  // Asks to save every modified document; false when the user cancels.
  bool save_all_modified();
  // Closes every document without asking.
  void close_all_documents();
  // What the program does when it ends, before the profile is written.
  virtual void exit_instance() {}
  // The whole exit: save questions, documents closed, exit_instance, profile
  // written. False when the user cancelled.
  bool exit();

 protected:
  void on_file_new();
  void on_file_open();

 private:
  std::vector<ui_command_target*> route() const;
  void load_recent_files();

  std::string name_;
  profile_file profile_;
  display_codec codec_;
  std::unique_ptr<QPrinter> printer_;
  std::vector<std::unique_ptr<ui_doc_template>> templates_;
  ui_main_frame* main_frame_ = nullptr;
  std::vector<std::string> recent_;
};
