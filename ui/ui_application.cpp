#include "ui/ui_application.h"

#include <QPrinter>
#include <algorithm>
#include <exception>

#include "ui/ui_asker.h"
#include "ui/ui_child_frame.h"
#include "ui/ui_doc_template.h"
#include "ui/ui_document.h"
#include "ui/ui_ids.h"
#include "ui/ui_main_frame.h"
#include "ui/ui_view.h"

namespace {

ui_application* the_application = nullptr;

constexpr const char* kRecentSection = "Recent File List";

std::string recent_key(int index) {
  return "File" + std::to_string(index + 1);
}

}  // namespace

ui_application::ui_application(std::string name) : name_(std::move(name)) {
  the_application = this;
  on_command(ID_FILE_NEW, [this] { on_file_new(); });
  on_command(ID_FILE_OPEN, [this] { on_file_open(); });
  on_command(ID_FILE_PRINT_SETUP, [this] { ui_ask().page_setup_dialog(printer()); });
  on_command_range(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE1 + kRecentFileCount - 1, [this](int id) {
    std::size_t index = static_cast<std::size_t>(id - ID_FILE_MRU_FILE1);
    if (index >= recent_.size()) return;
    std::string path = recent_[index];
    if (!open_document_file(path)) std::erase(recent_, path);
  });
  on_state_range(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE1 + kRecentFileCount - 1,
                 [this](int id, ui_command_state& state) {
                   state.enabled =
                       static_cast<std::size_t>(id - ID_FILE_MRU_FILE1) < recent_.size();
                 });
}

ui_application::~ui_application() {
  if (the_application == this) the_application = nullptr;
}

QPrinter& ui_application::printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

ui_application* ui_application::instance() {
  return the_application;
}

void ui_application::load_profile(const std::string& path) {
  std::string reason;
  if (!profile_.load(path, reason))
    ui_message_box("不能读取设置文件。\n\n" + reason, MB_OK | MB_ICONEXCLAMATION);
  load_recent_files();
}

void ui_application::load_recent_files() {
  recent_.clear();
  for (int i = 0; i < kRecentFileCount; ++i) {
    std::string path = profile_.get_string(kRecentSection, recent_key(i));
    if (!path.empty()) recent_.push_back(path);
  }
}

bool ui_application::save_profile() {
  for (int i = 0; i < kRecentFileCount; ++i) {
    if (static_cast<std::size_t>(i) < recent_.size()) {
      profile_.set(kRecentSection, recent_key(i), recent_[i]);
    } else {
      profile_.remove(kRecentSection, recent_key(i));
    }
  }
  std::string reason;
  if (profile_.save(reason)) return true;
  ui_message_box("不能保存设置文件。\n\n" + reason, MB_OK | MB_ICONEXCLAMATION);
  return false;
}

void ui_application::add_recent_file(const std::string& path) {
  std::string key = ui_same_file_key(path);
  std::erase_if(recent_, [&](const std::string& each) { return ui_same_file_key(each) == key; });
  recent_.insert(recent_.begin(), path);
  if (recent_.size() > static_cast<std::size_t>(kRecentFileCount)) recent_.resize(kRecentFileCount);
}

void ui_application::add_doc_template(std::unique_ptr<ui_doc_template> doc_template) {
  templates_.push_back(std::move(doc_template));
}

ui_document* ui_application::open_document_file(const std::string& path, bool report_missing) {
  if (path.empty()) {
    if (report_missing) ui_message_box(kFailedToOpen, MB_OK | MB_ICONEXCLAMATION);
    return nullptr;
  }
  for (const auto& doc_template : templates_) {
    if (ui_document* open = doc_template->document_with_path(path)) {
      for (ui_view* view : open->views()) {
        if (view->frame()) {
          view->frame()->activate();
          break;
        }
      }
      return open;
    }
  }
  ui_doc_template* chosen = nullptr;
  for (const auto& doc_template : templates_) {
    if (doc_template->matches_extension(path)) {
      chosen = doc_template.get();
      break;
    }
  }
  if (!chosen && !templates_.empty()) chosen = templates_.front().get();
  return chosen ? chosen->open_document_file(path, report_missing) : nullptr;
}

ui_child_frame* ui_application::active_frame() const {
  return main_frame_ ? main_frame_->active_frame() : nullptr;
}

ui_view* ui_application::active_view() const {
  ui_child_frame* frame = active_frame();
  return frame ? frame->view() : nullptr;
}

ui_document* ui_application::active_document() const {
  ui_view* view = active_view();
  return view ? view->document() : nullptr;
}

std::vector<ui_document*> ui_application::documents() const {
  std::vector<ui_document*> all;
  for (const auto& doc_template : templates_)
    for (ui_document* document : doc_template->documents())
      if (!document->closing()) all.push_back(document);
  return all;
}

std::vector<ui_command_target*> ui_application::route() const {
  std::vector<ui_command_target*> targets;
  ui_child_frame* frame = active_frame();
  ui_view* view = frame ? frame->view() : nullptr;
  if (view) targets.push_back(view);
  if (view && view->document()) targets.push_back(view->document());
  if (frame) targets.push_back(frame);
  if (main_frame_) targets.push_back(main_frame_);
  targets.push_back(const_cast<ui_application*>(this));
  return targets;
}

ui_command_state ui_application::command_state(int id) const {
  std::vector<ui_command_target*> targets = route();
  ui_command_state state;
  for (ui_command_target* target : targets)
    if (target->update_state(id, state)) return state;
  state.enabled = std::any_of(targets.begin(), targets.end(),
                              [id](ui_command_target* target) { return target->handles(id); });
  return state;
}

bool ui_application::run_command(int id) {
  if (!command_state(id).enabled) return false;
  try {
    for (ui_command_target* target : route())
      if (target->run_command(id)) return true;
  } catch (const std::exception&) {
    // A command that fails this way is reported, and the program goes on.
    ui_message_box(kCommandFailed, MB_OK | MB_ICONEXCLAMATION);
    return true;
  }
  return false;
}

void ui_application::on_file_new() {
  for (const auto& doc_template : templates_) {
    if (!doc_template->doc_string(ui_doc_template::file_new_name).empty()) {
      doc_template->open_document_file({});
      return;
    }
  }
}

void ui_application::on_file_open() {
  ui_file_request request;
  request.open = true;
  request.title = kOpenTitle;
  for (const auto& doc_template : templates_)
    request.filter += doc_template->filter();
  request.filter += std::string(kAllFilesFilter) + "|*||";
  if (std::optional<std::string> path = ui_ask().file_dialog(request)) open_document_file(*path);
}

bool ui_application::save_all_modified() {
  for (ui_document* document : documents())
    if (!document->save_modified()) return false;
  return true;
}

void ui_application::close_all_documents() {
  for (ui_document* document : documents())
    document->on_close_document();
}

bool ui_application::exit() {
  if (!save_all_modified()) return false;
  close_all_documents();
  exit_instance();
  save_profile();
  return true;
}
