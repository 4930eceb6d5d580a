#include "ui/ui_document.h"

#include <algorithm>
#include <filesystem>

#include "ui/ui_application.h"
#include "ui/ui_asker.h"
#include "ui/ui_child_frame.h"
#include "ui/ui_doc_template.h"
#include "ui/ui_ids.h"
#include "ui/ui_text.h"
#include "ui/ui_view.h"

namespace {

// A message of the framework with the reason after it.
std::string with_reason(const char* message, const std::string& reason) {
  return reason.empty() ? message : std::string(message) + "\n\n" + reason;
}

// A name proposed for saving: the title with the template's extension, less
// the characters a file name cannot hold.
std::string proposed_file_name(const std::string& title, const std::string& extension) {
  std::string name;
  for (char c : title)
    if (c != '/' && c != '\\' && c != ':' && c != '*' && c != '?' && c != '"' && c != '<' &&
        c != '>' && c != '|')
      name += c;
  if (!extension.empty() && std::filesystem::path(name).extension().empty()) name += extension;
  return name;
}

}  // namespace

ui_document::ui_document() {
  on_command(ID_FILE_SAVE, [this] { do_save(path_); });
  on_command(ID_FILE_SAVE_AS, [this] { do_save({}); });
  on_command(ID_FILE_CLOSE, [this] {
    if (save_modified()) on_close_document();
  });
}

ui_document::~ui_document() {
  // The views are gone by now; a document deleted with views still attached
  // leaves them without one.
  for (ui_view* view : std::vector<ui_view*>(views_))
    view->detach();
}

void ui_document::set_title(const std::string& title) {
  title_ = title;
  for (ui_view* view : views_)
    if (view->frame()) view->frame()->update_caption();
}

void ui_document::set_path_name(const std::string& path) {
  path_ = path;
  set_title(std::filesystem::path(path).stem().string());
  if (ui_application* application = ui_application::instance()) application->add_recent_file(path);
}

void ui_document::update_all_views(ui_view* sender, long hint) {
  for (ui_view* view : std::vector<ui_view*>(views_))
    if (view != sender) view->on_update(sender, hint);
}

bool ui_document::on_new_document() {
  delete_contents();
  path_.clear();
  modified_ = false;
  return true;
}

bool ui_document::on_open_document(const std::string&, std::string& reason) {
  reason = "this kind of document has no file";
  return false;
}

bool ui_document::on_save_document(const std::string&, std::string& reason) {
  reason = "this kind of document has no file";
  return false;
}

bool ui_document::save_modified() {
  if (!modified_) return true;
  const std::string& name = path_.empty() ? title_ : path_;
  switch (ui_message_box(ui_format(kAskToSave, name), MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDCANCEL:
      return false;
    case IDNO:
      return true;
    default:
      return do_save(path_);
  }
}

bool ui_document::do_save(const std::string& path) {
  std::string target = path;
  if (target.empty()) {
    ui_file_request request;
    request.open = false;
    request.title = kSaveAsTitle;
    std::string extension =
        template_ ? template_->doc_string(ui_doc_template::filter_ext) : std::string();
    if (!path_.empty()) {
      request.file_name = path_;
    } else {
      request.file_name = proposed_file_name(title_, extension);
      if (!save_folder_.empty()) request.file_name = save_folder_ + "/" + request.file_name;
    }
    request.filter = (template_ ? template_->filter() : std::string()) + kAllFilesFilter + "|*||";
    if (!extension.empty() && extension.front() == '.') request.extension = extension.substr(1);
    request.overwrite_prompt = true;
    std::optional<std::string> chosen = ui_ask().file_dialog(request);
    if (!chosen) return false;
    target = *chosen;
  }
  std::string reason;
  if (!on_save_document(target, reason)) {
    ui_message_box(with_reason(kFailedToSave, reason), MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  modified_ = false;
  set_path_name(target);
  return true;
}

void ui_document::on_close_document() {
  if (closing_) return;
  closing_ = true;
  for (ui_view* view : std::vector<ui_view*>(views_)) {
    ui_child_frame* frame = view->frame();
    view->detach();
    if (frame) frame->close_quietly();
  }
  delete_contents();
  if (template_) template_->remove_document(this);
  deleteLater();
}

void ui_document::add_view(ui_view* view) {
  if (std::find(views_.begin(), views_.end(), view) == views_.end()) views_.push_back(view);
  for (ui_view* each : views_)
    if (each->frame()) each->frame()->update_caption();
}

void ui_document::remove_view(ui_view* view) {
  std::erase(views_, view);
  if (closing_) return;
  if (views_.empty()) {
    on_close_document();
    return;
  }
  for (ui_view* each : views_)
    if (each->frame()) each->frame()->update_caption();
}
