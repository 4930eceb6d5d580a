#include "mail/subscriptions.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "message/callbacks.h"
#include "platform/environment.h"
#include "platform/file_names.h"
#include "platform/unique_fd.h"

namespace {

std::string list_path() {
  return host_path(home_directory() + "\\SUBSCRIB.LST");
}

// One line of the file: its name (without CR LF or LF) and whether it ended.
struct list_line {
  std::string_view name;
  std::string_view whole;  // with its line end
  bool complete;
};

std::vector<list_line> split_lines(std::string_view contents) {
  std::vector<list_line> lines;
  while (!contents.empty()) {
    std::size_t end = contents.find('\n');
    bool complete = end != std::string_view::npos;
    std::string_view whole = contents.substr(0, complete ? end + 1 : contents.size());
    std::string_view name = whole.substr(0, complete ? end : whole.size());
    if (complete && name.ends_with('\r')) name.remove_suffix(1);
    lines.push_back({name, whole, complete});
    contents.remove_prefix(whole.size());
  }
  return lines;
}

}  // namespace

bool subscription_add(std::string_view name) {
  unique_fd file(::open(list_path().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  std::string contents;
  if (!file.valid() || !fd_read_all(file.get(), contents)) {
    mail_log(LOG_ERROR, "Can't create subscription database");
    return false;
  }
  std::string shown(name);
  for (const list_line& line : split_lines(contents)) {
    if (line.complete && line.name == name) {
      mail_log(LOG_ERROR, "Already subscribed to mailbox %s", shown.c_str());
      return false;
    }
  }
  // A last line without its line end would run into the new name.
  std::string added = (contents.empty() || contents.back() == '\n') ? "" : "\r\n";
  added += shown + "\r\n";
  if (!fd_write_all(file.get(), added)) {
    mail_log(LOG_ERROR, "Can't create subscription database");
    return false;
  }
  return true;
}

bool subscription_remove(std::string_view name) {
  unique_fd file(::open(list_path().c_str(), O_RDWR | O_CLOEXEC));
  std::string contents;
  if (!file.valid() || !fd_read_all(file.get(), contents)) {
    mail_log(LOG_ERROR, "No subscriptions");
    return false;
  }
  std::string kept;
  bool removed = false;
  for (const list_line& line : split_lines(contents)) {
    if (line.complete && line.name == name) {
      removed = true;
    } else {
      kept += line.whole;
    }
  }
  if (!removed) {
    std::string shown(name);
    mail_log(LOG_ERROR, "Not subscribed to mailbox %s", shown.c_str());
    return false;
  }
  if (::lseek(file.get(), 0, SEEK_SET) != 0 || !fd_write_all(file.get(), kept) ||
      ::ftruncate(file.get(), static_cast<off_t>(kept.size())) != 0) {
    mail_log(LOG_ERROR, "Can't update subscription database");
    return false;
  }
  return true;
}

std::optional<std::string> subscription_next(subscription_state& state) {
  if (!state.contents) {
    unique_fd file(::open(list_path().c_str(), O_RDONLY | O_CLOEXEC));
    state.contents.emplace();
    state.position = 0;
    if (file.valid()) fd_read_all(file.get(), *state.contents);
  }
  std::string_view rest = std::string_view(*state.contents).substr(state.position);
  for (const list_line& line : split_lines(rest)) {
    state.position += line.whole.size();
    if (!line.name.empty()) return std::string(line.name);
  }
  state.contents.reset();
  state.position = 0;
  return std::nullopt;
}
