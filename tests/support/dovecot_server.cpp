#include "tests/support/dovecot_server.h"

#include "tests/support/file_text.h"
#include "tests/support/loopback.h"
#include "tests/support/test_certificate.h"

#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

void replace_all(std::string& text, std::string_view from, std::string_view to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
}

void give_to_nobody(const fs::path& path) {
  const passwd* nobody = ::getpwnam("nobody");
  const group* nogroup = ::getgrnam("nogroup");
  if (nobody && nogroup) (void)::chown(path.c_str(), nobody->pw_uid, nogroup->gr_gid);
}

}  // namespace

std::string crlf_text(std::string_view text) {
  std::string result;
  result.reserve(text.size() + text.size() / 20);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r') {
      result += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      result += "\r\n";
    } else {
      result += c;
    }
  }
  return result;
}

dovecot_server::dovecot_server(std::vector<user> users, storage kind, security mode) {
  if (::geteuid() != 0) {
    reason_ = "Dovecot needs to be started as root";
    return;
  }
  if (::access("/usr/sbin/dovecot", X_OK) != 0) {
    reason_ = "/usr/sbin/dovecot is not installed";
    return;
  }
  fs::path root(folder_.path());
  ::chmod(root.c_str(), 0755);  // Dovecot's own users reach the mail
  fs::create_directories(root / "run" / "state");
  fs::create_directories(root / "mail");
  give_to_nobody(root / "mail");
  std::ofstream passwords(root / "passwd");
  for (const user& u : users) {
    passwords << u.name << ":{PLAIN}" << u.password << "\n";
    if (kind == storage::mbox) {
      fs::create_directories(root / "mail" / u.name);
      give_to_nobody(root / "mail" / u.name);
    }
  }
  passwords.close();

  std::string config = file_text(KESTREL_FIXTURES "/dovecot.conf");
  port_ = free_loopback_port();
  if (kind == storage::mbox) {
    replace_all(config, "mail_location = maildir:@DIR@/mail/%u",
                "mail_location = mbox:@DIR@/mail/%u:INBOX=@DIR@/mail/%u/inbox");
  }
  if (mode == security::tls) {
    if (!make_test_certificate(folder_.path(), "server", "DNS:localhost")) {
      reason_ = "openssl req failed";
      return;
    }
    tls_port_ = free_loopback_port();
    replace_all(config, "ssl = no",
                "ssl = required\nssl_cert = <@DIR@/server.pem\nssl_key = <@DIR@/server.key");
    replace_all(config, "    port = @PORT@\n  }",
                "    port = @PORT@\n  }\n  inet_listener imaps {\n    address = 127.0.0.1\n"
                "    port = @TLSPORT@\n    ssl = yes\n  }");
    replace_all(config, "@TLSPORT@", std::to_string(tls_port_));
  }
  replace_all(config, "@DIR@", folder_.path());
  replace_all(config, "@PORT@", std::to_string(port_));
  std::ofstream(root / "dovecot.conf") << config;

  std::string command = "/usr/sbin/dovecot -c " + (root / "dovecot.conf").string();
  if (std::system(command.c_str()) != 0) {
    reason_ = "dovecot did not start: " + file_text(root / "dovecot.log");
    return;
  }
  for (int i = 0; i < 200 && !running_; ++i) {
    running_ = loopback_listening(port_) && (!tls_port_ || loopback_listening(tls_port_));
    if (!running_) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (!running_) reason_ = "dovecot does not listen: " + file_text(root / "dovecot.log");
}

dovecot_server::~dovecot_server() {
  std::string pid_text = file_text(fs::path(folder_.path()) / "run" / "master.pid");
  pid_t pid = static_cast<pid_t>(std::atol(pid_text.c_str()));
  if (pid > 0 && ::kill(pid, SIGTERM) == 0) {
    for (int i = 0; i < 200 && ::kill(pid, 0) == 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
  }
}

std::string dovecot_server::certificate() const {
  return folder_.path() + "/server.pem";
}

std::string dovecot_server::mailbox_name(std::string_view mailbox) const {
  return "{127.0.0.1:" + std::to_string(port_) + "}" + std::string(mailbox);
}

std::string dovecot_server::deliver(const std::string& user, std::string_view letter) {
  fs::path maildir = fs::path(folder_.path()) / "mail" / user;
  for (const char* sub : {"", "cur", "new", "tmp"}) {
    fs::create_directories(maildir / sub);
    give_to_nobody(maildir / sub);
  }
  std::string bytes = crlf_text(letter);
  fs::path file = maildir / "new" / ("1000000000." + std::to_string(++delivered_) + ".kestrel");
  std::ofstream(file, std::ios::binary) << bytes;
  give_to_nobody(file);
  return bytes;
}

std::string dovecot_server::inbox_file(const std::string& user) const {
  return (fs::path(folder_.path()) / "mail" / user / "inbox").string();
}

std::size_t dovecot_server::inbox_count(const std::string& user) const {
  std::size_t count = 0;
  std::error_code error;
  for (const char* sub : {"cur", "new"}) {
    fs::path folder = fs::path(folder_.path()) / "mail" / user / sub;
    for (auto it = fs::directory_iterator(folder, error); !error && it != fs::directory_iterator();
         it.increment(error))
      ++count;
  }
  return count;
}
