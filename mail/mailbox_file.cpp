#include "mail/mailbox_file.h"

#include "mail/parameters.h"
#include "platform/environment.h"
#include "platform/storage.h"

std::optional<std::string> mailbox_file(std::string_view name) {
  auto* extension_text =
      static_cast<const char*>(mail_parameters(nullptr, GET_MAILBOX_EXTENSION, nullptr));
  std::string_view extension = extension_text ? extension_text : "";

  // Slash separates as well as backslash, so that host paths work too.
  std::size_t last_separator = name.find_last_of("\\/");
  std::string_view last =
      name.substr(last_separator == std::string_view::npos ? 0 : last_separator + 1);
  std::size_t dot = last.find('.');
  bool has_dot = dot != std::string_view::npos;
  if (has_dot && (!extension.empty() || last.find('.', dot + 1) != std::string_view::npos)) {
    return std::nullopt;
  }

  std::string path;
  bool absolute = (!name.empty() && (name.front() == '\\' || name.front() == '/')) ||
                  (name.size() >= 2 && name[1] == ':');
  if (absolute) {
    path = name;
  } else {
    path = home_directory() + "\\" + std::string(name);
  }
  if (!extension.empty() && !has_dot) path += "." + std::string(extension);
  return text_upper(path);
}
