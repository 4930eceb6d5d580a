// Fetching a whole inbox: Kestrel's IMAP client against Python's imaplib.
//
//   build/bench/net/imap_fetch_bench [LETTERS]      (as root: it starts Dovecot)
//
// Starts a Dovecot of its own, delivers LETTERS (default 1000) letters of the
// test corpora with pictures among them (about 30 MB), then times:
//   kestrel  mail_fetchstructure for each message and mail_fetchbody for each
//            leaf section, as the fetch routine does;
//   python   imaplib sending the very same commands (replayed from Kestrel's
//            protocol trace) to the same server;
//   context  one plain "FETCH 1:* RFC822" of the whole box, by imaplib.
//   desktop  the program's own fetch (kestrel offscreen, tests/app/fetch_child)
//            into an empty In mailbox, with its peak memory;
//   tls      the library's and the program's fetch again, over TLS from the
//            first byte, from a second Dovecot (ssl = required) holding the
//            same letters; for context, imaplib's whole-box fetch over TLS.
// Each is run several times; the medians and the ratios are printed. The
// goals: the library at most 0.5 of imaplib's time on the same commands and
// at most twice the time of the whole-box fetch; the program's peak memory at
// most twice the size of the letters; TLS at most 1.2 times the time of plain
// TCP.

#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "mail/fetch.h"
#include "mail/open_close.h"
#include "mail/parameters.h"
#include "mail/stream.h"
#include "message/callbacks.h"
#include "message/records.h"
#include "message/rfc822_binary.h"
#include "model/box_file.h"
#include "model/letter_from_mail.h"
#include "net/imap_driver.h"
#include "net/tls.h"
#include "tests/support/corpus.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/scratch_folder.h"

namespace {

// A letter with a picture of the given size, as a mail client sends one.
std::string picture_letter(int number, std::size_t size) {
  std::mt19937 random(static_cast<unsigned>(number));
  std::string bytes(size, '\0');
  for (char& c : bytes)
    c = static_cast<char>(random());
  std::string encoded = rfc822_binary(bytes);
  return "From: Wang Li <wang@pku.edu.cn>\r\nTo: li@example.cn\r\nSubject: picture " +
         std::to_string(number) +
         "\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"xx\"\r\n\r\n"
         "--xx\r\nContent-Type: text/plain\r\n\r\nA picture for you.\r\n--xx\r\n"
         "Content-Type: image/jpeg; name=\"p.jpg\"\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
         encoded + "--xx--\r\n";
}

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The processor time of this process so far, in seconds.
double processor_seconds() {
  rusage used{};
  getrusage(RUSAGE_SELF, &used);
  return used.ru_utime.tv_sec + used.ru_stime.tv_sec +
         (used.ru_utime.tv_usec + used.ru_stime.tv_usec) / 1e6;
}

struct fetch_time {
  double seconds;
  double processor;  // of the client alone
};

// One whole fetch. With a place for them, the commands sent are kept for the
// replay (the protocol trace costs time, so timed runs go without it).
fetch_time kestrel_fetch(const std::string& mailbox, std::vector<std::string>* commands) {
  if (commands) commands->clear();
  mail_callbacks callbacks;
  // The plain server offers no TLS: the password goes in clear on loopback.
  callbacks.on_plain_login = [](std::string_view) { return true; };
  callbacks.on_login = [](std::string_view, std::string& user, std::string& password, long) {
    user = "tester";
    password = "secret";
  };
  callbacks.on_debug = [commands](std::string_view line) {
    if (line.starts_with("A")) commands->push_back(std::string(line));
  };
  mail_set_callbacks(callbacks);
  auto start = std::chrono::steady_clock::now();
  const double processor_start = processor_seconds();
  long trace = commands ? long{OPEN_DEBUG} : 0L;
  mail_stream* stream = mail_open(nullptr, mailbox, trace | OPEN_READONLY);
  std::size_t bytes = 0;
  for (std::uint32_t i = 1; stream && i <= stream->nmsgs; ++i) {
    mail_body* body = nullptr;
    mail_fetchstructure(stream, i, &body);
    std::vector<std::string> sections;
    if (body) sections = leaf_sections(*body);
    for (const std::string& section : sections) {
      if (auto text = mail_fetchbody(stream, i, section)) bytes += text->size();
    }
  }
  mail_close(stream);
  fetch_time taken{seconds_since(start), processor_seconds() - processor_start};
  std::fprintf(stderr, "  kestrel: %.3f s, %zu section bytes, processor %.3f s\n", taken.seconds,
               bytes, taken.processor);
  return taken;
}

// Runs the Python peer and reads the seconds it prints.
double python_run(const std::string& mode, int port, const std::string& commands_file) {
  std::string command = "/usr/bin/python3 " KESTREL_BENCH "/net/imap_fetch_peer.py " + mode + " " +
                        std::to_string(port) + " " + commands_file;
  FILE* pipe = ::popen(command.c_str(), "r");
  double elapsed = -1;
  if (pipe && std::fscanf(pipe, "%lf", &elapsed) != 1) elapsed = -1;
  if (pipe) ::pclose(pipe);
  std::fprintf(stderr, "  python %s: %.3f s\n", mode.c_str(), elapsed);
  return elapsed;
}

// The program's fetch in a process of its own from the account's server,
// trusting the certificate file given: the seconds from the fetch dialog's OK
// to the end (In saved), and its peak memory in megabytes.
std::pair<double, double> desktop_fetch(const std::string& account, const std::string& ca_file,
                                        const std::string& folder) {
  std::string in = folder + "/In.box";
  CVelmarDocData empty;
  empty.mailbox_name = "IN";
  std::string reason;
  if (!box_file_save(in, empty, reason)) return {-1, -1};
  std::string profile = folder + "/KESTREL.INI";
  std::ofstream(profile) << "[Configuration]\nInPath=" << in << "\nIMAPAccount=" << account
                         << "\n[Misc]\nAllowPlainLogin=1\nCAFile=" << ca_file << "\n";
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) return {-1, -1};
  pid_t child = fork();
  if (child == 0) {
    dup2(pipe_ends[1], 1);
    close(pipe_ends[0]);
    execl(KESTREL_FETCH_CHILD, KESTREL_FETCH_CHILD, profile.c_str(), "secret", "keep",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipe_ends[1]);
  FILE* out = fdopen(pipe_ends[0], "r");
  double elapsed = -1;
  if (!out || std::fscanf(out, "%lf", &elapsed) != 1) elapsed = -1;
  if (out) std::fclose(out);
  int status = 0;
  rusage used{};
  wait4(child, &status, 0, &used);
  double megabytes = used.ru_maxrss / 1024.0;
  bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  std::fprintf(stderr, "  desktop: %.3f s, peak %.1f MB%s\n", elapsed, megabytes,
               ok ? "" : " (failed)");
  return {ok ? elapsed : -1, megabytes};
}

}  // namespace

int main(int argc, char** argv) {
  int count = argc > 1 ? std::atoi(argv[1]) : 1000;
  dovecot_server server;
  dovecot_server secure({{"tester", "secret"}}, dovecot_server::storage::maildir,
                        dovecot_server::security::tls);
  for (const dovecot_server* each : {&server, &secure}) {
    if (!each->running()) {
      std::fprintf(stderr, "imap_fetch_bench: %s\n", each->reason().c_str());
      return 1;
    }
  }
  tls_trust_file(secure.certificate());
  mail_link_driver(&imap_driver);
  std::vector<corpus_letter> letters = corpus_letters();
  std::size_t total = 0;
  for (int i = 0; i < count; ++i) {
    std::string letter = i % 3 == 2 ? picture_letter(i, 60000 + (i * 7919) % 40000)
                                    : letters[static_cast<std::size_t>(i) % letters.size()].bytes;
    total += server.deliver("tester", letter).size();
    secure.deliver("tester", letter);
  }
  std::printf("inbox: %d letters, %.1f MB\n", count, total / 1e6);

  std::string commands_file = "/tmp/kestrel-imap-bench-commands.txt";
  std::vector<std::string> commands;
  kestrel_fetch(server.mailbox_name(), &commands);
  std::ofstream out(commands_file);
  for (const std::string& line : commands)
    out << line << "\n";
  out.close();
  std::printf("commands: %zu\n", commands.size());
  scratch_folder folder;
  // The certificate names localhost; TLS from the first byte on a port
  // other than 993 takes the word "/tls".
  const std::string secure_host = "localhost:" + std::to_string(secure.tls_port()) + "/tls";
  const std::string plain_account = "tester@127.0.0.1:" + std::to_string(server.port());
  std::vector<double> kestrel, python, whole, desktop, memory, kestrel_tls, desktop_tls, whole_tls,
      processor, processor_tls;
  for (int run = 0; run < 5; ++run) {
    fetch_time plain = kestrel_fetch(server.mailbox_name(), nullptr);
    kestrel.push_back(plain.seconds);
    processor.push_back(plain.processor);
    std::fprintf(stderr, "  (over TLS)\n");
    fetch_time secured = kestrel_fetch("{" + secure_host + "}INBOX", nullptr);
    kestrel_tls.push_back(secured.seconds);
    processor_tls.push_back(secured.processor);
    python.push_back(python_run("replay", server.port(), commands_file));
    whole.push_back(python_run("whole", server.port(), commands_file));
    whole_tls.push_back(python_run("whole-tls", secure.tls_port(), secure.certificate()));
    auto [seconds, megabytes] = desktop_fetch(plain_account, "", folder.path());
    desktop.push_back(seconds);
    memory.push_back(megabytes);
    std::fprintf(stderr, "  (over TLS)\n");
    desktop_tls.push_back(
        desktop_fetch("tester@" + secure_host, secure.certificate(), folder.path()).first);
  }
  const double letters_mb = total / (1024.0 * 1024.0);
  std::printf("kestrel fetch, library (median of 5): %.3f s\n", median(kestrel));
  std::printf("kestrel fetch, desktop program into In (median of 5): %.3f s\n", median(desktop));
  std::printf("python imaplib, same commands: %.3f s\n", median(python));
  std::printf("one FETCH 1:* RFC822 (imaplib): %.3f s\n", median(whole));
  std::printf("ratio library/imaplib: %.2f (goal: at most 0.50)\n",
              median(kestrel) / median(python));
  std::printf("ratio library/whole-box fetch: %.2f (goal: at most 2)\n",
              median(kestrel) / median(whole));
  std::printf("ratio desktop/whole-box fetch: %.2f\n", median(desktop) / median(whole));
  std::printf("kestrel fetch over TLS, library (median of 5): %.3f s\n", median(kestrel_tls));
  std::printf("kestrel fetch over TLS, desktop program (median of 5): %.3f s\n",
              median(desktop_tls));
  std::printf("one FETCH 1:* RFC822 over TLS (imaplib): %.3f s, ratio TLS/plain %.2f\n",
              median(whole_tls), median(whole_tls) / median(whole));
  std::printf("library's own processor time: %.3f s plain, %.3f s over TLS\n", median(processor),
              median(processor_tls));
  std::printf("ratio TLS/plain, library: %.2f (goal: at most 1.20)\n",
              median(kestrel_tls) / median(kestrel));
  std::printf("ratio TLS/plain, desktop program: %.2f (goal: at most 1.20)\n",
              median(desktop_tls) / median(desktop));
  std::printf("desktop peak memory: %.1f MB for %.1f MB of letters, ratio %.2f (goal: at most 2)\n",
              median(memory), letters_mb, median(memory) / letters_mb);
  return 0;
}
