#include "cli/mailbox_login.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "message/callbacks.h"

namespace {

// A line typed on the terminal with echo off; nothing without a terminal.
std::optional<std::string> ask_password(std::string_view user, std::string_view host) {
  const int terminal = open("/dev/tty", O_RDWR | O_CLOEXEC);
  if (terminal < 0) return std::nullopt;
  const std::string prompt =
      "Password for " + std::string(user) + " at " + std::string(host) + ": ";
  if (write(terminal, prompt.data(), prompt.size()) < 0) {
    close(terminal);
    return std::nullopt;
  }
  termios old_mode{};
  const bool is_terminal = tcgetattr(terminal, &old_mode) == 0;
  if (is_terminal) {
    termios quiet = old_mode;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(terminal, TCSAFLUSH, &quiet);
  }
  std::string line;
  char c = 0;
  while (read(terminal, &c, 1) == 1 && c != '\n')
    line += c;
  if (is_terminal) tcsetattr(terminal, TCSAFLUSH, &old_mode);
  if (write(terminal, "\n", 1) < 0) line.clear();
  close(terminal);
  return line;
}

}  // namespace

void cli_install_login(std::string user) {
  mail_callbacks callbacks = mail_callback();
  callbacks.on_login = [user = std::move(user), known = std::optional<std::string>()](
                           std::string_view host, std::string& user_out, std::string& password_out,
                           long) mutable {
    user_out = user;
    if (!known) {
      if (const char* password = std::getenv("KESTREL_PASSWORD")) {
        known = password;
      } else {
        known = ask_password(user, host).value_or("");
      }
    }
    password_out = *known;
  };
  mail_set_callbacks(std::move(callbacks));
}
