// Servers that misbehave on purpose: each makes the client fail with a clear
// report within the time-out, in bounded memory, and leaves it able to work
// with the next server.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "mail/cache.h"
#include "mail/fetch.h"
#include "mail/open_close.h"
#include "mail/parameters.h"
#include "mail/stream.h"
#include "message/records.h"
#include "net/drivers.h"
#include "net/imap_driver.h"
#include "net/smtp.h"
#include "net/tcp.h"
#include "tests/support/imap_script.h"
#include "tests/support/log_capture.h"
#include "tests/support/loopback.h"
#include "tests/support/script_server.h"
#include "tests/support/table.h"

namespace {

using server = script_server;
using steps = imap_steps;
using clock_type = std::chrono::steady_clock;

constexpr long kTimeout = 2;  // seconds, for reads and writes

// The FETCH of message 1 answered with these bytes.
steps fetch_answered(std::string bytes) {
  return imap_opened() + steps{server::read_line(), server::send(std::move(bytes))};
}

long peak_kib() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

const long kPeakAtStart = peak_kib();

class Hostile : public testing::Test {
 protected:
  void SetUp() override {
    link_all_drivers();
    mail_callbacks callbacks;
    // The server offers no TLS: the password goes in clear on loopback.
    callbacks.on_plain_login = [](std::string_view) { return true; };
    callbacks.on_login = [](std::string_view, std::string& user, std::string& password, long) {
      user = "li";
      password = "secret";
    };
    callbacks.on_timeout = [this](long seconds) {
      waited_.push_back(seconds);
      return waited_.size() <= keep_waiting_;
    };
    callbacks.on_wait = [this] { return ++wait_calls_ <= wait_calls_allowed_; };
    log_ = std::make_unique<log_capture>(std::move(callbacks));
    set_timeouts(kTimeout);
  }
  void TearDown() override { set_timeouts(0); }

  static void set_timeouts(long seconds) {
    auto value = reinterpret_cast<void*>(static_cast<std::intptr_t>(seconds));
    mail_parameters(nullptr, SET_READ_TIMEOUT, value);
    mail_parameters(nullptr, SET_WRITE_TIMEOUT, value);
  }

  static std::string name(const server& peer) {
    return "{127.0.0.1:" + std::to_string(peer.port()) + "}INBOX";
  }

  bool logged(const std::string& text) const {
    for (const std::string& entry : log_->texts()) {
      if (entry == text) return true;
    }
    return false;
  }

  // Opens the mailbox and fetches the structure of message 1; the time it took.
  clock_type::duration open_and_fetch(const server& peer) {
    clock_type::time_point began = clock_type::now();
    if (mail_stream* stream = mail_open(nullptr, name(peer), 0)) {
      mail_body* body = nullptr;
      if (stream->nmsgs >= 1) mail_fetchstructure(stream, 1, &body);
      EXPECT_FALSE(stream->driver->ping(stream)) << "the connection is closed";
      mail_close(stream);
    }
    return clock_type::now() - began;
  }

  // A well-behaved server: a new stream opens and reads an envelope.
  void next_stream_works() {
    server peer(fetch_answered("* 1 FETCH (ENVELOPE (NIL \"fine\" NIL NIL NIL NIL NIL NIL NIL "
                               "NIL))\r\nA00002 OK done\r\n") +
                steps{server::read_line(), server::send("A00003 OK bye\r\n")});
    mail_stream* stream = mail_open(nullptr, name(peer), 0);
    ASSERT_NE(stream, nullptr);
    mail_envelope* envelope = mail_fetchstructure(stream, 1, nullptr);
    ASSERT_NE(envelope, nullptr);
    EXPECT_EQ(envelope->subject, "fine");
    mail_close(stream);
  }

  std::unique_ptr<log_capture> log_;
  std::vector<long> waited_;
  std::size_t keep_waiting_ = 0;  // on_timeout answers true this many times
  int wait_calls_ = 0;
  int wait_calls_allowed_ = 1 << 30;
};

struct hostile_row {
  std::string name;
  steps script;
  std::string report;
};

class HostileImapServer : public Hostile, public testing::WithParamInterface<hostile_row> {};

TEST_P(HostileImapServer, FailsClearlyInTimeAndInBoundedMemory) {
  const hostile_row& row = GetParam();
  clock_type::duration took;
  {
    server peer(row.script);
    took = open_and_fetch(peer);
  }
  EXPECT_LT(took, std::chrono::seconds(kTimeout + 2));
  EXPECT_TRUE(logged(row.report)) << testing::PrintToString(log_->texts());
  EXPECT_LT(peak_kib() - kPeakAtStart, 64 * 1024) << "KiB more at the peak than at the start";
  next_stream_works();
}

std::string many_parts(int count) {
  std::string parts;
  for (int i = 0; i < count; ++i)
    parts += "(\"TEXT\" \"PLAIN\" NIL NIL NIL \"7BIT\" 1 1)";
  return parts;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HostileImapServer,
    testing::Values(
        hostile_row{"literal_of_4_gib", fetch_answered("* 1 FETCH (BODY[1] {4294967296}\r\n"),
                    "Literal of 4294967296 bytes is over the limit of 67108864"},
        hostile_row{"line_of_100_mib",
                    fetch_answered("* 1 FETCH (ENVELOPE (\"") +
                        steps{server::send_repeated(std::string(65536, 'x'), 1600)},
                    "Line from 127.0.0.1 longer than 1048576 bytes"},
        hostile_row{
            "sixteen_million_messages",
            steps{server::send("* OK [CAPABILITY IMAP4rev1] ready\r\n"), server::read_line(),
                  server::send("A00000 OK in\r\n"), server::read_line(),
                  server::send("* 16000000 EXISTS\r\nA00001 OK selected\r\n")},
            "Message count 16000000 is over the limit of 1048576"},
        hostile_row{
            "structure_nested_10000_deep",
            fetch_answered("* 1 FETCH (BODY " + std::string(10000, '(') + "\r\nA00002 OK done\r\n"),
            "Bogus body structure: nested over 100 deep"},
        hostile_row{"structure_of_10001_parts",
                    fetch_answered("* 1 FETCH (BODY (" + many_parts(10001) +
                                   " \"MIXED\"))\r\nA00002 OK done\r\n"),
                    "Bogus body structure: over 10000 parts"},
        hostile_row{"data_of_a_message_that_does_not_exist",
                    fetch_answered("* 999 FETCH (FLAGS (\\Seen))\r\nA00002 OK done\r\n"),
                    "Message data for message 999 of 1"},
        hostile_row{"greeting_never_comes", steps{server::pause(kTimeout * 1000 + 1500)},
                    "No answer from 127.0.0.1 for 2 seconds"},
        hostile_row{"literal_announced_and_never_sent",
                    fetch_answered("* 1 FETCH (BODY[1] {1000}\r\nabc") +
                        steps{server::pause(kTimeout * 1000 + 1500)},
                    "No answer from 127.0.0.1 for 2 seconds"}),
    row_name());

TEST_F(Hostile, AFetchCutAtEveryByteFailsInOrder) {
  const std::string reply =
      "* 1 FETCH (FLAGS (\\Seen) RFC822.SIZE 3 ENVELOPE (\"d\" {4}\r\nsubj NIL NIL NIL NIL NIL "
      "NIL NIL NIL) BODY (\"TEXT\" \"PLAIN\" (\"CHARSET\" \"GB2312\") NIL NIL \"7BIT\" 3 1))\r\n"
      "A00002 OK done\r\n";
  for (std::size_t cut = 0; cut < reply.size(); ++cut) {
    server peer(fetch_answered(reply.substr(0, cut)) + steps{server::close()});
    EXPECT_LT(open_and_fetch(peer), std::chrono::seconds(kTimeout)) << "cut at " << cut;
  }
  EXPECT_LT(peak_kib() - kPeakAtStart, 64 * 1024);
  next_stream_works();
}

TEST_F(Hostile, TheApplicationMayAbandonAWaitWithinAQuarterSecond) {
  wait_calls_allowed_ = 0;
  clock_type::duration took;
  {
    server peer(imap_opened() + steps{server::read_line(), server::pause(1500)});
    took = open_and_fetch(peer);
  }
  EXPECT_LT(took, std::chrono::milliseconds(800));
  EXPECT_EQ(wait_calls_, 1);
  EXPECT_TRUE(logged("Waiting for 127.0.0.1 abandoned"));
  wait_calls_allowed_ = 1 << 30;
  next_stream_works();
}

TEST_F(Hostile, TheApplicationMayAbandonAFloodThatNeverEnds) {
  wait_calls_allowed_ = 3;
  clock_type::duration took;
  {
    server peer(imap_opened() + steps{server::read_line(),
                                      server::send_repeated("* OK [ALERT] more\r\n", 10000000)});
    took = open_and_fetch(peer);
  }
  EXPECT_LT(took, std::chrono::seconds(2));
  EXPECT_TRUE(logged("Waiting for 127.0.0.1 abandoned"));
  wait_calls_allowed_ = 1 << 30;
  next_stream_works();
}

TEST_F(Hostile, AConnectionNeverAcceptedTimesOut) {
  int port = 0;
  int listener = loopback_socket(SOCK_STREAM, 0, &port);
  // One connection fills the queue of a server that never accepts.
  int first = loopback_connect(port);
  std::string host = "127.0.0.1:" + std::to_string(port);
  clock_type::time_point began = clock_type::now();
  EXPECT_EQ(tcp_open(host, 143), nullptr);
  EXPECT_LT(clock_type::now() - began, std::chrono::seconds(kTimeout + 2));
  EXPECT_TRUE(logged("No answer from 127.0.0.1 for 2 seconds"));
  ::close(first);
  ::close(listener);
}

TEST_F(Hostile, TheTimeoutCallbackMayWaitOnceMore) {
  set_timeouts(1);
  keep_waiting_ = 1;
  {
    server peer(imap_opened() + steps{server::read_line(), server::pause(3500)});
    open_and_fetch(peer);
  }
  EXPECT_EQ(waited_, (std::vector<long>{1, 2})) << "seconds since the wait began";
  EXPECT_TRUE(logged("No answer from 127.0.0.1 for 2 seconds"));
}

class HostileSmtpServer : public Hostile, public testing::WithParamInterface<hostile_row> {};

TEST_P(HostileSmtpServer, FailsClearlyInTime) {
  const hostile_row& row = GetParam();
  clock_type::time_point began = clock_type::now();
  {
    server peer(row.script);
    std::unique_ptr<smtp_stream> stream =
        smtp_open({"127.0.0.1:" + std::to_string(peer.port())}, false);
    EXPECT_EQ(stream, nullptr);
    EXPECT_LT(clock_type::now() - began, std::chrono::seconds(kTimeout + 2));
  }
  EXPECT_TRUE(logged(row.report)) << testing::PrintToString(log_->texts());
  EXPECT_LT(peak_kib() - kPeakAtStart, 64 * 1024);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HostileSmtpServer,
    testing::Values(hostile_row{"line_of_100_mib",
                                steps{server::send("220 "),
                                      server::send_repeated(std::string(65536, 'x'), 1600)},
                                "Line from 127.0.0.1 longer than 1048576 bytes"},
                    hostile_row{"endless_continuation_lines",
                                steps{server::send_repeated("220-more to come\r\n", 200000)},
                                "SMTP reply longer than 1048576 bytes"},
                    hostile_row{"greeting_never_comes",
                                steps{server::pause(kTimeout * 1000 + 1500)},
                                "No answer from 127.0.0.1 for 2 seconds"}),
    row_name());

}  // namespace
