// The SMTP client against a scripted server.

#include "net/smtp.h"

#include <gtest/gtest.h>

#include "message/records.h"
#include "platform/host_name.h"
#include "tests/support/log_capture.h"
#include "tests/support/script_server.h"
#include "tests/support/table.h"

namespace {

using server = script_server;
using steps = std::vector<script_server::step>;

steps operator+(steps a, const steps& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::string here() {
  std::optional<std::string> name = host_official_name();
  return name ? *name : "";
}

steps greeted(const std::string& greeting = "220 mail.example.cn ESMTP\r\n") {
  return {server::send(greeting), server::read_line(), server::send("250 hello\r\n")};
}

// RSET, MAIL, the given RCPT replies, DATA, then `letter_lines` lines of the letter.
steps delivery(const std::vector<std::string>& rcpt_replies, int letter_lines = 0) {
  steps script{server::read_line(), server::send("250 reset\r\n"), server::read_line(),
               server::send("250 sender ok\r\n")};
  for (const std::string& reply : rcpt_replies) {
    script.push_back(server::read_line());
    script.push_back(server::send(reply + "\r\n"));
  }
  script.push_back(server::read_line());
  script.push_back(server::send("354 go ahead\r\n"));
  for (int i = 0; i < letter_lines; ++i)
    script.push_back(server::read_line());
  return script;
}

std::unique_ptr<mail_address> address(const std::string& mailbox, const std::string& host) {
  auto a = mail_new_address();
  a->mailbox = mailbox;
  a->host = host;
  return a;
}

// A letter from li@example.cn with a plain text body.
struct letter {
  letter(const std::string& text) {
    envelope = mail_new_envelope();
    envelope->return_path = address("li", "example.cn");
    envelope->from = address("li", "example.cn");
    envelope->subject = "Greetings";
    envelope->date = "Thu, 5 Dec 1996 11:53:20 +0800";
    body = mail_new_body();
    body->contents.text = text;
    body->bytes = static_cast<std::uint32_t>(text.size());
  }
  std::unique_ptr<mail_envelope> envelope;
  std::unique_ptr<mail_body> body;
};

std::unique_ptr<smtp_stream> open_to(const server& peer) {
  return smtp_open({"127.0.0.1:" + std::to_string(peer.port()), ""}, false);
}

// The DATA part of what the client sent: after "DATA\r\n", up to and with ".\r\n".
std::string data_of(const std::string& wire) {
  std::size_t start = wire.find("DATA\r\n");
  return start == std::string::npos ? "" : wire.substr(start + 6);
}

TEST(Smtp, SendsALetterWithDotsDoubled) {
  server peer(greeted() + delivery({"250 ok"}) +
              steps{server::read_until("."), server::send("250 queued as 42\r\n"),
                    server::read_line(), server::send("221 bye\r\n")});
  auto stream = open_to(peer);
  ASSERT_NE(stream, nullptr);
  letter mail(".starts with a dot\r\nmiddle\r\n.\r\n..two\r\nend");
  mail.envelope->to = address("wang", "pku.edu.cn");
  EXPECT_TRUE(smtp_mail(*stream, "MAIL", *mail.envelope, mail.body.get())) << stream->reply;
  EXPECT_EQ(stream->reply, "250 queued as 42");
  smtp_close(stream);
  EXPECT_EQ(stream, nullptr);
  std::string wire = peer.received();
  EXPECT_NE(wire.find("HELO " + here() +
                      "\r\nRSET\r\nMAIL FROM:<li@example.cn>\r\n"
                      "RCPT TO:<wang@pku.edu.cn>\r\nDATA\r\n"),
            std::string::npos)
      << wire;
  std::string data = data_of(wire);
  EXPECT_NE(data.find("\r\n\r\n..starts with a dot\r\nmiddle\r\n..\r\n...two\r\nend\r\n.\r\n"),
            std::string::npos)
      << data;
  EXPECT_TRUE(wire.ends_with("\r\n.\r\nQUIT\r\n")) << wire;
}

TEST(Smtp, MultiLineRepliesCountByTheirLastLine) {
  server peer(greeted("220-mail.example.cn\r\n220-welcome\r\n220 ready\r\n"));
  auto stream = open_to(peer);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->reply, "250 hello");
}

TEST(Smtp, OnlyBccIsEnoughAndNoRecipientIsNot) {
  server peer(greeted() + delivery({"250 ok"}, 0));
  auto stream = open_to(peer);
  ASSERT_NE(stream, nullptr);
  letter none("x");
  EXPECT_FALSE(smtp_mail(*stream, "MAIL", *none.envelope, none.body.get()));
  EXPECT_EQ(stream->reply, "554 No recipients specified");
  letter hidden("x");
  hidden.envelope->bcc = address("secret", "example.cn");
  smtp_mail(*stream, "MAIL", *hidden.envelope, hidden.body.get());
  stream.reset();
  std::string wire = peer.received();
  EXPECT_NE(wire.find("RCPT TO:<secret@example.cn>\r\nDATA\r\n"), std::string::npos) << wire;
  EXPECT_EQ(data_of(wire).find("secret"), std::string::npos) << "no Bcc line is written";
}

TEST(Smtp, ARefusedRecipientStopsTheLetterAndKeepsTheServerLine) {
  server peer(greeted() + steps{server::read_line(), server::send("250 reset\r\n"),
                                server::read_line(), server::send("250 sender ok\r\n"),
                                server::read_line(), server::send("250 ok\r\n"),
                                server::read_line(), server::send("550 5.1.1 no such user\r\n"),
                                server::read_line(), server::send("250 reset\r\n")});
  auto stream = open_to(peer);
  ASSERT_NE(stream, nullptr);
  letter mail("x");
  mail.envelope->to = address("wang", "pku.edu.cn");
  mail.envelope->cc = address("nobody", "pku.edu.cn");
  mail.envelope->cc->error = "stale";
  mail.envelope->to->error = "stale";
  EXPECT_FALSE(smtp_mail(*stream, "MAIL", *mail.envelope, mail.body.get()));
  EXPECT_EQ(stream->reply, "554 One or more recipients failed");
  EXPECT_EQ(mail.envelope->to->error, std::nullopt);
  EXPECT_EQ(mail.envelope->cc->error, "550 5.1.1 no such user");
  stream.reset();
  EXPECT_EQ(peer.received().find("DATA"), std::string::npos);
}

TEST(Smtp, GroupMarkersAreNotRecipients) {
  server peer(greeted() + delivery({"250 ok"}, 0));
  auto stream = open_to(peer);
  ASSERT_NE(stream, nullptr);
  letter mail("x");
  mail.envelope->to = mail_new_address();
  mail.envelope->to->mailbox = "friends";
  mail.envelope->to->next = address("wang", "pku.edu.cn");
  mail.envelope->to->next->next = mail_new_address();
  smtp_mail(*stream, "MAIL", *mail.envelope, mail.body.get());
  stream.reset();
  std::string wire = peer.received();
  EXPECT_EQ(wire.find("RCPT TO:<friends"), std::string::npos) << wire;
  EXPECT_NE(wire.find("RCPT TO:<wang@pku.edu.cn>\r\nDATA"), std::string::npos) << wire;
}

TEST(Smtp, AConnectionLostDuringDataLeaves421) {
  server peer(greeted() + delivery({"250 ok"}, 3) + steps{server::close()});
  auto stream = open_to(peer);
  ASSERT_NE(stream, nullptr);
  letter mail(std::string(4 << 20, 'x'));
  mail.envelope->to = address("wang", "pku.edu.cn");
  EXPECT_FALSE(smtp_mail(*stream, "MAIL", *mail.envelope, mail.body.get()));
  EXPECT_EQ(stream->reply, "421 SMTP connection went away!");
}

TEST(Smtp, HeloLocalhostWhenTheServerRefusesOurName) {
  server peer({server::send("220 hi\r\n"), server::read_line(), server::send("501 who?\r\n"),
               server::read_line(), server::send("250 hello localhost\r\n")});
  auto stream = smtp_open({"LocalHost:" + std::to_string(peer.port())}, false);
  ASSERT_NE(stream, nullptr);
  stream.reset();
  EXPECT_NE(peer.received().find("HELO localhost\r\n"), std::string::npos);
}

TEST(Smtp, TheNextHostIsTriedWhenOneFails) {
  server refusing(
      {server::send("554 go away\r\n"), server::read_line(), server::send("221 bye\r\n")});
  server accepting(greeted());
  log_capture log;
  auto stream = smtp_open({"[127.0.0.1]:1", "127.0.0.1:" + std::to_string(refusing.port()),
                           "127.0.0.1:" + std::to_string(accepting.port()), ""},
                          false);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(tcp_remote_host(*stream->tcp), "127.0.0.1");
  stream.reset();
  EXPECT_NE(refusing.received().find("QUIT\r\n"), std::string::npos);
}

TEST(Smtp, AnEmptyServerListIsReported) {
  log_capture log;
  EXPECT_EQ(smtp_open({""}, false), nullptr);
  EXPECT_EQ(smtp_open({}, false), nullptr);
  EXPECT_EQ(log.texts(),
            (std::vector<std::string>{"Missing MTP service host", "Missing MTP service host"}));
}

}  // namespace
