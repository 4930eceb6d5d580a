#include "ui/ui_script.h"

#include <QPrinter>

#include "ui/ui_dialog.h"
#include "ui/ui_ids.h"

namespace {

std::string buttons_of(unsigned style) {
  switch (style & 0x0F) {
    case MB_OKCANCEL:
      return "[ok cancel]";
    case MB_YESNOCANCEL:
      return "[yes no cancel]";
    case MB_YESNO:
      return "[yes no]";
    default:
      return "[ok]";
  }
}

std::string answer_name(int id) {
  switch (id) {
    case IDOK:
      return "OK";
    case IDCANCEL:
      return "Cancel";
    case IDYES:
      return "Yes";
    case IDNO:
      return "No";
    default:
      return std::to_string(id);
  }
}

}  // namespace

class ui_script::scripted_progress : public ui_progress {
 public:
  explicit scripted_progress(ui_script& script) : script_(script) {}

  void show_text(const std::string& text) override {
    script_.progress_texts_.push_back(text);
    if (script_.cancel_at_ && text.starts_with(*script_.cancel_at_)) {
      script_.cancel_at_.reset();
      script_.shown_.push_back("progress cancelled");
      cancelled_ = true;
    }
  }
  bool cancelled() override { return cancelled_; }

 private:
  ui_script& script_;
  bool cancelled_ = false;
};

ui_script::ui_script() : previous_(ui_set_asker(this)) {}

ui_script::~ui_script() {
  ui_set_asker(previous_);
}

ui_script& ui_script::answer(int id) {
  answers_.push_back({entry::kind::message, id, std::nullopt, nullptr});
  return *this;
}

ui_script& ui_script::answer_file(std::optional<std::string> path) {
  answers_.push_back({entry::kind::file, 0, std::move(path), nullptr});
  return *this;
}

ui_script& ui_script::answer_dialog(int resource, dialog_answer fill) {
  answers_.push_back({entry::kind::dialog, resource, std::nullopt, std::move(fill)});
  return *this;
}

ui_script& ui_script::answer_print(std::optional<std::string> pdf) {
  answers_.push_back({entry::kind::print, 0, std::move(pdf), nullptr});
  return *this;
}

ui_script& ui_script::answer_preview(std::string pdf) {
  answers_.push_back({entry::kind::preview, 0, std::move(pdf), nullptr});
  return *this;
}

ui_script& ui_script::press_ok(int resource) {
  return answer_dialog(resource, [](ui_dialog&) { return true; });
}

ui_script& ui_script::press_cancel(int resource) {
  return answer_dialog(resource, [](ui_dialog&) { return false; });
}

ui_script& ui_script::cancel_progress_at(std::string text) {
  cancel_at_ = std::move(text);
  return *this;
}

std::vector<std::string> ui_script::messages() const {
  return message_texts_;
}

bool ui_script::finished() const {
  return answers_.empty() && unanswered_.empty() && !cancel_at_;
}

std::string ui_script::problems() const {
  std::string text;
  for (const std::string& question : unanswered_)
    text += "unanswered: " + question + "\n";
  if (cancel_at_) text += "progress never showed " + *cancel_at_ + "\n";
  for (const entry& e : answers_) {
    switch (e.what) {
      case entry::kind::message:
        text += "unused answer " + answer_name(e.id) + "\n";
        break;
      case entry::kind::file:
        text += "unused file answer " + e.path.value_or("(cancel)") + "\n";
        break;
      case entry::kind::dialog:
        text += "unused answer to dialog " + std::to_string(e.id) + "\n";
        break;
      case entry::kind::print:
        text += "unused print answer " + e.path.value_or("(cancel)") + "\n";
        break;
      case entry::kind::preview:
        text += "unused preview answer " + e.path.value_or("") + "\n";
        break;
    }
  }
  return text;
}

std::optional<ui_script::entry> ui_script::take(entry::kind what, const std::string& question) {
  if (answers_.empty() || answers_.front().what != what) {
    unanswered_.push_back(question);
    return std::nullopt;
  }
  entry next = std::move(answers_.front());
  answers_.pop_front();
  return next;
}

int ui_script::message_box(const std::string& text, unsigned style) {
  std::string line = "message " + text + " " + buttons_of(style);
  shown_.push_back(line);
  message_texts_.push_back(text);
  if ((style & 0x0F) == MB_OK) return IDOK;
  std::optional<entry> next = take(entry::kind::message, line);
  if (!next) return (style & 0x0F) == MB_YESNO ? IDNO : IDCANCEL;
  return next->id;
}

std::optional<std::string> ui_script::file_dialog(const ui_file_request& request) {
  std::string line = std::string("file ") + (request.open ? "open " : "save ") + request.title +
                     " " + request.file_name + " " + request.filter;
  shown_.push_back(line);
  std::optional<entry> next = take(entry::kind::file, line);
  if (!next) return std::nullopt;
  return next->path;
}

int ui_script::run_dialog(ui_dialog& dialog) {
  std::string line = "dialog " + std::to_string(dialog.resource()) + " " + dialog.title();
  shown_.push_back(line);
  for (;;) {
    if (answers_.empty() || answers_.front().what != entry::kind::dialog ||
        answers_.front().id != dialog.resource()) {
      unanswered_.push_back(line);
      return IDCANCEL;
    }
    entry next = std::move(answers_.front());
    answers_.pop_front();
    if (!next.fill(dialog)) return IDCANCEL;
    if (dialog.try_ok()) return IDOK;
  }
}

bool ui_script::print_answer(QPrinter& printer, const std::string& question) {
  shown_.push_back(question);
  std::optional<entry> next = take(entry::kind::print, question);
  if (!next || !next->path) return false;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(*next->path));
  return true;
}

bool ui_script::print_dialog(QPrinter& printer) {
  return print_answer(printer, "print");
}

bool ui_script::page_setup_dialog(QPrinter& printer) {
  return print_answer(printer, "page setup");
}

void ui_script::print_preview(QPrinter& printer,
                              const std::function<void(QPrinter& target)>& paint) {
  const std::string question = "print preview";
  shown_.push_back(question);
  std::optional<entry> next = take(entry::kind::preview, question);
  if (!next) return;
  // The preview draws on a printer set up as the real one, into the file.
  QPrinter pages(QPrinter::HighResolution);
  pages.setPageLayout(printer.pageLayout());
  pages.setOutputFormat(QPrinter::PdfFormat);
  pages.setOutputFileName(QString::fromStdString(next->path.value_or("")));
  paint(pages);
}

std::unique_ptr<ui_progress> ui_script::progress(const std::string& title) {
  shown_.push_back("progress " + title);
  return std::make_unique<scripted_progress>(*this);
}
