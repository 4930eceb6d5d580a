#include "ui/ui_text.h"

#include "ui/ui_application.h"

namespace {

display_codec& codec() {
  if (ui_application* application = ui_application::instance()) return application->codec();
  static display_codec fallback;
  return fallback;
}

}  // namespace

QString display_text(std::string_view bytes) {
  return qstr(codec().to_utf8(bytes));
}

std::string display_bytes(const QString& text) {
  return codec().from_utf8(utf8(text));
}

std::string ui_format(std::string_view message, std::string_view argument) {
  std::string text(message);
  if (std::size_t at = text.find("%1"); at != std::string::npos) text.replace(at, 2, argument);
  return text;
}
