#include "tests/support/smtp_sink_server.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/support/file_text.h"
#include "tests/support/loopback.h"
#include "tests/support/test_certificate.h"

namespace fs = std::filesystem;

smtp_sink_server::smtp_sink_server(const std::vector<std::string>& refused) {
  std::string refused_list;
  for (const std::string& address : refused) {
    refused_list += (refused_list.empty() ? "" : ",") + address;
  }
  start({"--refused", refused_list});
}

smtp_sink_server::smtp_sink_server(const security& secured) {
  if (!make_test_certificate(folder_.path(), "server", "DNS:localhost", secured.expired)) {
    reason_ = "openssl req failed";
    return;
  }
  std::vector<std::string> arguments{
      "--cert", certificate(), "--key",      folder_.path() + "/server.key",
      "--user", secured.user,  "--password", secured.password};
  if (secured.implicit_tls) arguments.push_back("--implicit");
  start(arguments);
}

void smtp_sink_server::start(const std::vector<std::string>& arguments) {
  port_ = free_loopback_port();
  std::vector<std::string> words{"python3", KESTREL_FIXTURES "/smtp_sink.py", folder_.path(),
                                 std::to_string(port_)};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_ = ::fork();
  if (pid_ == 0) {
    ::execv("/usr/bin/python3", argv.data());
    ::_exit(127);
  }
  for (int i = 0; i < 200 && !running_; ++i) {
    int status;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      reason_ = "aiosmtpd ended at once (is python3-aiosmtpd installed?)";
      return;
    }
    running_ = loopback_listening(port_);
    if (!running_) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (!running_) reason_ = "aiosmtpd does not listen";
}

std::string smtp_sink_server::certificate() const {
  return folder_.path() + "/server.pem";
}

std::vector<std::string> smtp_sink_server::logins() const {
  std::vector<std::string> lines;
  std::istringstream log(file_text(fs::path(folder_.path()) / "auth.log"));
  for (std::string line; std::getline(log, line);)
    lines.push_back(line);
  return lines;
}

smtp_sink_server::~smtp_sink_server() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    int status;
    ::waitpid(pid_, &status, 0);
  }
}

std::vector<smtp_sink_server::letter> smtp_sink_server::letters() const {
  std::vector<letter> result;
  for (int i = 1;; ++i) {
    char base[16];
    std::snprintf(base, sizeof base, "%04d", i);
    fs::path eml = fs::path(folder_.path()) / (std::string(base) + ".eml");
    if (!fs::exists(eml)) break;
    letter l;
    l.content = file_text(eml);
    std::istringstream env(file_text(fs::path(folder_.path()) / (std::string(base) + ".env")));
    std::getline(env, l.sender);
    for (std::string line; std::getline(env, line);)
      l.recipients.push_back(line);
    result.push_back(std::move(l));
  }
  return result;
}
