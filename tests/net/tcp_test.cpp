#include "net/tcp.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/sockets.h"
#include "tests/net/script_steps.h"
#include "tests/support/log_capture.h"
#include "tests/support/loopback.h"
#include "tests/support/table.h"

namespace {

// A peer that sends the pieces with a pause between them, then hangs up.
steps pieces(const std::vector<std::string>& texts) {
  steps script;
  for (const std::string& text : texts)
    script.insert(script.end(), {server::pause(50), server::send(text)});
  return script;
}

std::unique_ptr<tcp_stream> connect_to(const script_server& peer) {
  std::string host = "127.0.0.1:" + std::to_string(peer.port());
  return tcp_open(host, 143);
}

struct lines_row {
  std::string name;
  std::vector<std::string> pieces;
  std::vector<std::optional<std::string>> lines;
};

class ReadLine : public testing::TestWithParam<lines_row> {};

TEST_P(ReadLine, AssemblesLinesAcrossReceives) {
  const lines_row& row = GetParam();
  script_server peer(pieces(row.pieces));
  auto stream = connect_to(peer);
  ASSERT_NE(stream, nullptr);
  for (const auto& expected : row.lines)
    EXPECT_EQ(tcp_read_line(*stream), expected);
}

const std::string kLong(20000, 'x');
const std::optional<std::string> kGone;

INSTANTIATE_TEST_SUITE_P(
    Rows, ReadLine,
    testing::Values(lines_row{"two_lines_one_receive",
                              {"* OK ready\r\nA0001 OK done\r\n"},
                              {"* OK ready", "A0001 OK done", kGone}},
                    lines_row{
                        "cr_lf_split_between_receives", {"abc\r", "\ndef\r\n"}, {"abc", "def"}},
                    lines_row{"line_split_in_the_middle", {"ab", "cd\r\n"}, {"abcd"}},
                    lines_row{"lone_cr_and_lf_are_kept", {"a\rb\nc\r\n"}, {"a\rb\nc"}},
                    lines_row{"cr_at_end_then_no_lf", {"a\r", "b\r\n"}, {"a\rb"}},
                    lines_row{"longer_than_the_buffer",
                              {kLong.substr(0, 9000), kLong.substr(9000) + "\r\nnext\r\n"},
                              {kLong, "next"}},
                    lines_row{"peer_closes_mid_line", {"abc"}, {"abc", kGone}},
                    lines_row{"empty_line", {"\r\n\r\nz\r\n"}, {"", "", "z"}},
                    lines_row{"peer_closes_at_once", {}, {kGone, kGone}}),
    row_name());

TEST(ReadBlock, TakesExactlyTheCountAcrossReceives) {
  script_server peer(pieces({"{5}\r\nhel", "lo)\r\n"}));
  auto stream = connect_to(peer);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(tcp_read_line(*stream), "{5}");
  char block[6] = {'#', '#', '#', '#', '#', '#'};
  ASSERT_TRUE(tcp_read_block(*stream, 5, block));
  EXPECT_STREQ(block, "hello");
  EXPECT_EQ(tcp_read_line(*stream), ")");
  EXPECT_FALSE(tcp_read_block(*stream, 1, block)) << "the peer is gone";
}

TEST(ReadBlock, LargeBlocksArriveWholeAfterBufferedBytes) {
  std::string big(200000, 'b');
  for (std::size_t i = 0; i < big.size(); i += 997)
    big[i] = static_cast<char>('a' + i % 26);
  script_server peer(
      pieces({"{200000}\r\n" + big.substr(0, 5000), big.substr(5000) + " tail\r\n"}));
  auto stream = connect_to(peer);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(tcp_read_line(*stream), "{200000}");
  std::string block(big.size() + 1, '#');
  ASSERT_TRUE(tcp_read_block(*stream, static_cast<std::uint32_t>(big.size()), block.data()));
  EXPECT_EQ(block.substr(0, big.size()), big);
  EXPECT_EQ(block.back(), '\0');
  EXPECT_EQ(tcp_read_line(*stream), " tail");
}

TEST(Send, EveryByteArrives) {
  std::string big(3 << 20, 'm');  // larger than any socket buffer: partial sends
  for (std::size_t i = 0; i < big.size(); i += 4093)
    big[i] = static_cast<char>('a' + i % 26);
  script_server peer({server::read_bytes(static_cast<int>(big.size()) + 6)});
  {
    auto stream = connect_to(peer);
    ASSERT_NE(stream, nullptr);
    EXPECT_TRUE(tcp_send_text(*stream, "HELLO "));
    EXPECT_TRUE(tcp_send(*stream, big));
    EXPECT_TRUE(tcp_send(*stream, ""));
  }
  EXPECT_EQ(peer.received(), "HELLO " + big);
}

TEST(Send, FailsOnceThePeerIsGone) {
  script_server peer({server::close()});
  auto stream = connect_to(peer);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(tcp_read_line(*stream), std::nullopt);
  EXPECT_EQ(stream->socket, -1);
  EXPECT_FALSE(tcp_send_text(*stream, "NOOP\r\n"));
}

// The port suffix is cut off the name; a host name is looked up in lower case.
TEST(Open, NamesBothEnds) {
  script_server peer({}), named({});
  std::string host = "[127.0.0.1]:" + std::to_string(peer.port());
  auto stream = tcp_open(host, 0);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(host, "[127.0.0.1]");
  EXPECT_EQ(tcp_remote_host(*stream), "[127.0.0.1]");
  EXPECT_FALSE(tcp_local_host(*stream).empty());
  host = "LOCALHOST:" + std::to_string(named.port());
  stream = tcp_open(host, 143);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(tcp_remote_host(*stream), "localhost");
}

struct failure_row {
  std::string name;
  std::string host;
  long port;
  std::string report;  // a "*" stands for any text
};

class OpenFailure : public testing::TestWithParam<failure_row> {};

TEST_P(OpenFailure, IsReportedAtTheErrorLevel) {
  const failure_row& row = GetParam();
  log_capture log;
  std::string host = row.host;
  EXPECT_EQ(tcp_open(host, row.port), nullptr);
  ASSERT_EQ(log.entries().size(), 1u);
  EXPECT_EQ(log.entries()[0].level, LOG_ERROR);
  const std::string& text = log.entries()[0].text;
  const std::size_t star = std::min(row.report.find('*'), row.report.size());
  EXPECT_TRUE(text.starts_with(row.report.substr(0, star)) &&
              text.ends_with(row.report.substr(std::min(star + 1, row.report.size()))) &&
              (star < row.report.size() || text == row.report))
      << text;
}

const std::string kFreePort = std::to_string(free_loopback_port());

INSTANTIATE_TEST_SUITE_P(
    Rows, OpenFailure,
    testing::Values(
        failure_row{"junk_after_port", "localhost:12x", 143, "Junk after port number: 12x"},
        failure_row{"bad_literal", "[300.1.2.3]", 143, "Bad format domain-literal: [300.1.2.3]"},
        failure_row{"port_zero", "[127.0.0.1]", 0, "Bad port argument to tcp_open"},
        failure_row{"port_zero_in_suffix", "[127.0.0.1]:0", 143, "Bad port argument to tcp_open"},
        failure_row{"port_too_large", "[127.0.0.1]:70000", 143, "Bad port argument to tcp_open"},
        failure_row{"refused", "[127.0.0.1]:" + kFreePort, 143,
                    "Can't connect to [127.0.0.1]," + kFreePort + ": Refused (111)"},
        failure_row{"unknown_host", "No-Such-Host.invalid", 143,
                    "Host not found (#*): no-such-host.invalid"}),
    row_name());

TEST(Sockets, TheLastCloseEndsTheirUseAndTheNextOpenStartsAgain) {
  script_server first({}), second({});
  auto a = connect_to(first);
  auto b = connect_to(second);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(tcp_open_streams(), 2u);
  EXPECT_GE(sockets_start_count(), 2u);
  tcp_close(a);
  EXPECT_EQ(a, nullptr);
  EXPECT_EQ(tcp_open_streams(), 1u);
  EXPECT_GE(sockets_start_count(), 1u);
  tcp_close(b);
  EXPECT_EQ(tcp_open_streams(), 0u);
  EXPECT_EQ(sockets_start_count(), 0u);
  script_server third({});
  auto c = connect_to(third);
  EXPECT_EQ(sockets_start_count(), 1u);
}

class Timeouts : public testing::Test {
 protected:
  void TearDown() override {
    tcp_parameters(SET_READ_TIMEOUT, nullptr);
    tcp_parameters(SET_TIMEOUT, nullptr);
  }
};

// Without a callback a read that times out drops the connection; the
// callback decides whether to wait again.
TEST_F(Timeouts, DropTheConnectionUnlessTheCallbackWaitsAgain) {
  static std::vector<long> asked;
  for (bool wait : {false, true}) {
    script_server peer({server::pause(1500), server::send("late\r\n")});
    auto stream = connect_to(peer);
    ASSERT_NE(stream, nullptr);
    tcp_parameters(SET_READ_TIMEOUT, reinterpret_cast<void*>(1));
    tcp_timeout_handler keep_waiting = [](long seconds) -> long {
      asked.push_back(seconds);
      return 1;
    };
    tcp_parameters(SET_TIMEOUT, wait ? reinterpret_cast<void*>(keep_waiting) : nullptr);
    EXPECT_EQ(tcp_read_line(*stream), wait ? std::optional<std::string>("late") : std::nullopt);
    EXPECT_EQ(stream->socket == -1, !wait);
  }
  ASSERT_FALSE(asked.empty());
  EXPECT_GE(asked.front(), 1);
}

}  // namespace
