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

namespace fs = std::filesystem;

smtp_sink_server::smtp_sink_server(const std::vector<std::string>& refused) {
  port_ = free_loopback_port();
  std::string refused_list;
  for (const std::string& address : refused) {
    refused_list += (refused_list.empty() ? "" : ",") + address;
  }
  std::string listen = "127.0.0.1:" + std::to_string(port_);
  pid_ = ::fork();
  if (pid_ == 0) {
    ::setenv("PYTHONPATH", KESTREL_FIXTURES, 1);
    ::execl("/usr/bin/python3", "python3", "-m", "aiosmtpd", "-n", "-l", listen.c_str(), "-c",
            "smtp_sink.Sink", folder_.path().c_str(), refused_list.c_str(), nullptr);
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
