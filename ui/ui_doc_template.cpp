#include "ui/ui_doc_template.h"

#include <strings.h>

#include <filesystem>

#include "platform/file_names.h"
#include "ui/ui_application.h"
#include "ui/ui_asker.h"
#include "ui/ui_child_frame.h"
#include "ui/ui_document.h"
#include "ui/ui_ids.h"
#include "ui/ui_main_frame.h"
#include "ui/ui_view.h"

namespace fs = std::filesystem;

std::string ui_same_file_key(const std::string& path) {
  std::error_code error;
  fs::path host = host_path(path);
  fs::path real = fs::canonical(host, error);
  if (!error) return real.string();
  return fs::absolute(host, error).lexically_normal().string();
}

ui_doc_template::ui_doc_template(int resource, std::string doc_string, const ui_menu_resource* menu,
                                 document_factory make_document, view_factory make_view,
                                 frame_factory make_frame)
    : resource_(resource),
      menu_(menu),
      make_document_(std::move(make_document)),
      make_view_(std::move(make_view)),
      make_frame_(std::move(make_frame)) {
  std::size_t start = 0;
  for (;;) {
    std::size_t end = doc_string.find('\n', start);
    strings_.push_back(doc_string.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
}

ui_doc_template::~ui_doc_template() {
  for (ui_document* document : std::vector<ui_document*>(documents_))
    document->template_ = nullptr;
}

std::string ui_doc_template::doc_string(string_index index) const {
  return static_cast<std::size_t>(index) < strings_.size() ? strings_[index] : std::string();
}

std::string ui_doc_template::filter() const {
  std::string name = doc_string(filter_name);
  std::string extension = doc_string(filter_ext);
  if (name.empty() || extension.empty()) return {};
  return name + "|*" + extension + "|";
}

bool ui_doc_template::matches_extension(const std::string& path) const {
  std::string extension = doc_string(filter_ext);
  std::string given = fs::path(path).extension().string();
  return !extension.empty() && given.size() == extension.size() &&
         ::strcasecmp(given.c_str(), extension.c_str()) == 0;
}

ui_document* ui_doc_template::document_with_path(const std::string& path) const {
  std::string key = ui_same_file_key(path);
  for (ui_document* document : documents_)
    if (!document->closing() && !document->path_name().empty() &&
        ui_same_file_key(document->path_name()) == key)
      return document;
  return nullptr;
}

void ui_doc_template::set_default_title(ui_document& document) {
  std::string name = doc_string(doc_name);
  document.set_title(name.empty() ? "Untitled" : name + std::to_string(++untitled_count_));
}

void ui_doc_template::remove_document(ui_document* document) {
  std::erase(documents_, document);
}

ui_document* ui_doc_template::open_document_file(const std::string& path, bool report_missing) {
  ui_document* document = make_document_();
  document->template_ = this;
  documents_.push_back(document);
  bool opened;
  std::string host = path.empty() ? std::string() : host_path(path);
  if (host.empty()) {
    set_default_title(*document);
    opened = document->on_new_document();
  } else {
    std::string reason;
    opened = document->on_open_document(host, reason);
    std::error_code error;
    if (!opened && (report_missing || fs::exists(host, error)))
      ui_message_box(reason.empty() ? kFailedToOpen : std::string(kFailedToOpen) + "\n\n" + reason,
                     MB_OK | MB_ICONEXCLAMATION);
    if (opened) {
      document->set_path_name(host);
      document->set_modified(false);
    }
  }
  if (!opened) {
    remove_document(document);
    delete document;
    return nullptr;
  }
  ui_child_frame* frame = create_new_frame(*document);
  initial_update_frame(frame);
  return document;
}

ui_child_frame* ui_doc_template::create_new_frame(ui_document& document) {
  ui_child_frame* frame = make_frame_ ? make_frame_() : new ui_child_frame;
  frame->set_doc_template(this);
  ui_view* view = make_view_(document);
  frame->set_view(view);
  view->attach(&document, frame);
  if (ui_application* application = ui_application::instance()) {
    if (ui_main_frame* main = application->main_frame()) main->add_frame(frame);
  }
  return frame;
}

void ui_doc_template::initial_update_frame(ui_child_frame* frame) {
  ui_view* view = frame->view();
  if (view) view->on_initial_update();
  // A view with nothing to show closes its frame at once.
  if (view && !view->document()) return;
  frame->update_caption();
  frame->show();
  frame->activate();
}
