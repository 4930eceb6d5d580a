#include "cli/mail_session.h"

#include "cli/commands.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/reports.h"
#include "mail/literal.h"
#include "mail/parameters.h"
#include "mail/remote_name.h"
#include "mail/sequence.h"
#include "net/drivers.h"
#include "net/tcp.h"
#include "net/tls.h"
#include "platform/unique_fd.h"

namespace {

struct session_settings {
  std::optional<std::string> user;
  bool debug = false;
  bool allow_plain = false;
};

session_settings& settings() {
  static session_settings held;
  return held;
}

// Texts are delivered whole: a command prints what it is given.
std::string whole_literal(literal_read_fn reader, void* source, std::uint32_t size) {
  std::string text(size, '\0');
  reader(source, size, text.data());
  return text;
}

// Reads a line from the terminal with echo off; nothing when there is no
// terminal.
std::optional<std::string> password_prompt(std::string_view user, std::string_view host) {
  unique_fd terminal(::open("/dev/tty", O_RDWR | O_CLOEXEC));
  if (!terminal.valid() || !::isatty(terminal.get())) return std::nullopt;
  std::string prompt = "Password for " + std::string(user) + " at " + std::string(host) + ": ";
  fd_write_all(terminal.get(), prompt);
  termios old_mode{};
  bool restore = ::tcgetattr(terminal.get(), &old_mode) == 0;
  if (restore) {
    termios quiet = old_mode;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(terminal.get(), TCSAFLUSH, &quiet);
  }
  std::string password;
  char c;
  while (::read(terminal.get(), &c, 1) == 1 && c != '\n')
    password += c;
  if (restore) ::tcsetattr(terminal.get(), TCSAFLUSH, &old_mode);
  fd_write_all(terminal.get(), "\n");
  return password;
}

// An empty user name gives up the login.
void login(std::string_view host, std::string& user, std::string& password, long trial) {
  const session_settings& held = settings();
  if (!held.user) {
    std::fprintf(stderr, "kestrel-mail: a server mailbox needs --user NAME\n");
    return;
  }
  if (const char* given = std::getenv("KESTREL_PASSWORD")) {
    // The same password would fail again.
    if (trial > 1) return;
    user = *held.user;
    password = given;
    return;
  }
  std::optional<std::string> typed = password_prompt(*held.user, host);
  if (!typed) {
    std::fprintf(stderr, "kestrel-mail: no password: set KESTREL_PASSWORD or run on a terminal\n");
    return;
  }
  user = *held.user;
  password = std::move(*typed);
}

// A password crosses the network in clear only with --allow-plain.
bool plain_login(std::string_view host) {
  if (settings().allow_plain) return true;
  std::string shown(host);
  std::fprintf(stderr,
               "kestrel-mail: %s offers no TLS; the password would cross the network in clear "
               "(--allow-plain allows it)\n",
               shown.c_str());
  return false;
}

long open_options(long options) {
  if (settings().debug) options |= OPEN_DEBUG;
  return options;
}

}  // namespace

std::vector<cli_option> session_options(std::initializer_list<cli_option> own) {
  std::vector<cli_option> options(own);
  options.push_back({"--user", true});
  options.push_back({"--debug", false});
  options.push_back({"--timeout", true});
  options.push_back({"--cafile", true});
  options.push_back({"--allow-plain", false});
  return options;
}

bool session_timeouts(const cli_parsed& parsed) {
  long seconds = 60;
  if (std::optional<std::string> given = parsed.value("--timeout")) {
    auto [end, error] = std::from_chars(given->data(), given->data() + given->size(), seconds);
    if (error != std::errc() || end != given->data() + given->size() || seconds < 1) {
      std::fprintf(stderr, "kestrel-mail: --timeout takes a whole number of seconds, not %s\n",
                   given->c_str());
      return false;
    }
  }
  auto value = reinterpret_cast<void*>(static_cast<std::intptr_t>(seconds));
  mail_parameters(nullptr, SET_READ_TIMEOUT, value);
  mail_parameters(nullptr, SET_WRITE_TIMEOUT, value);
  return true;
}

void session_start(const cli_parsed& parsed, mail_callbacks own) {
  settings().user = parsed.value("--user");
  settings().debug = parsed.has("--debug");
  settings().allow_plain = parsed.has("--allow-plain");
  tls_trust_file(parsed.value("--cafile").value_or(""));
  link_all_drivers();
  if (!session_timeouts(parsed)) std::exit(EXIT_USAGE);
  mail_parameters(nullptr, SET_LITERAL_READER, reinterpret_cast<void*>(whole_literal));
  mail_callbacks callbacks = cli_report_callbacks();
  callbacks.on_login = login;
  callbacks.on_plain_login = plain_login;
  callbacks.on_debug = [](std::string_view line) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
  };
  callbacks.on_searched = std::move(own.on_searched);
  callbacks.on_mailbox = std::move(own.on_mailbox);
  callbacks.on_bboard = std::move(own.on_bboard);
  mail_set_callbacks(std::move(callbacks));
}

bool session_remote(std::string_view name) {
  return name.starts_with("{") || name.starts_with("*{");
}

session_stream session_open(std::string_view name, long options) {
  std::string shown(name);
  session_stream stream(mail_open(nullptr, name, open_options(options)));
  if (!stream) {
    std::fprintf(stderr, "kestrel-mail: cannot open %s\n", shown.c_str());
    return nullptr;
  }
  // A server that refuses the mailbox leaves the connection half-open.
  if (stream->halfopen && !(options & OPEN_HALFOPEN)) {
    std::fprintf(stderr, "kestrel-mail: cannot open %s\n", shown.c_str());
    return nullptr;
  }
  return stream;
}

bool session_sequence(mail_stream* stream, const std::string& name, const std::string& sequence) {
  if (stream->nmsgs == 0) {
    std::fprintf(stderr, "kestrel-mail: %s holds no messages\n", name.c_str());
    return false;
  }
  // A sequence that does not fit is reported by the library in its words.
  return mail_select_sequence(stream, sequence);
}

session_stream session_server(std::string_view name) {
  remote_name parsed;
  std::string shown(name);
  if (!mail_parse_remote_name(name, parsed)) {
    std::fprintf(stderr, "kestrel-mail: not a server mailbox: %s\n", shown.c_str());
    return nullptr;
  }
  session_stream stream(
      mail_open(nullptr, remote_server_text(parsed), open_options(OPEN_HALFOPEN)));
  if (!stream || !stream->local) {
    std::fprintf(stderr, "kestrel-mail: cannot reach the server of %s\n", shown.c_str());
    return nullptr;
  }
  return stream;
}

mail_driver* session_driver(std::string_view name) {
  if (mail_driver* driver = mail_find_driver(nullptr, name, nullptr)) return driver;
  return session_remote(name) ? nullptr : session_dummy_driver();
}

mail_driver* session_dummy_driver() {
  auto* driver = static_cast<mail_driver*>(mail_parameters(nullptr, GET_DRIVERS, nullptr));
  while (driver && std::string_view(driver->name) != "dummy")
    driver = driver->next;
  return driver;
}

std::optional<cli_parsed> session_names(cli_arguments arguments, std::size_t count) {
  std::optional<cli_parsed> parsed = cli_options_parse(arguments, session_options({}));
  if (!parsed || parsed->words.size() != count) return std::nullopt;
  session_start(*parsed);
  return parsed;
}

int session_on_name(
    const std::string& name,
    const std::function<bool(mail_driver& driver, mail_stream* stream)>& operation) {
  std::optional<session_target> target = session_target_for(name);
  if (!target) return EXIT_FAILED;
  return operation(*target->driver, target->stream) ? EXIT_DONE : EXIT_FAILED;
}

std::optional<session_target> session_target_for(std::string_view name) {
  mail_driver* driver = session_driver(name);
  if (!driver) {
    std::string shown(name);
    std::fprintf(stderr, "kestrel-mail: no mailbox %s\n", shown.c_str());
    return std::nullopt;
  }
  if (!session_remote(name)) return session_target{driver, nullptr, driver->open(nullptr)};
  session_stream server = session_server(name);
  if (!server) return std::nullopt;
  mail_stream* stream = server.get();
  return session_target{driver, std::move(server), stream};
}
