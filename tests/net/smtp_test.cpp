// The SMTP client against a scripted server.

#include "net/smtp.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/host_name.h"
#include "tests/net/script_steps.h"
#include "tests/net/smtp_letter.h"
#include "tests/support/log_capture.h"

namespace {

using testing::ElementsAre;
using testing::EndsWith;
using testing::HasSubstr;
using testing::Not;

steps greeted(const std::string& greeting = "220 mail.example.cn ESMTP\r\n") {
  return steps{server::send(greeting)} + replies({"250 hello"});
}

// RSET, MAIL, the given RCPT replies, DATA, then `letter_lines` lines of the letter.
steps delivery(const std::vector<std::string>& rcpt_replies, int letter_lines = 0) {
  std::vector<std::string> texts{"250 reset", "250 sender ok"};
  texts.insert(texts.end(), rcpt_replies.begin(), rcpt_replies.end());
  texts.push_back("354 go ahead");
  steps script = replies(texts);
  for (int i = 0; i < letter_lines; ++i)
    script.push_back(server::read_line());
  return script;
}

std::unique_ptr<smtp_stream> open_to(const server& peer) {
  return smtp_open({"127.0.0.1:" + std::to_string(peer.port()), ""}, false);
}

// The DATA part of what the client sent: after "DATA\r\n", up to and with ".\r\n".
std::string data_of(const std::string& wire) {
  std::size_t start = wire.find("DATA\r\n");
  return start == std::string::npos ? "" : wire.substr(start + 6);
}

// A multi-line reply counts by its last line.
TEST(Smtp, SendsALetterWithDotsDoubled) {
  server peer(
      greeted("220-mail.example.cn\r\n220-welcome\r\n220 ready\r\n") + delivery({"250 ok"}) +
      steps{server::read_until("."), server::send("250 queued as 42\r\n")} + replies({"221 bye"}));
  auto stream = open_to(peer);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->reply, "250 hello");
  letter mail(".starts with a dot\r\nmiddle\r\n.\r\n..two\r\nend");
  mail.envelope->to = address("wang", "pku.edu.cn");
  EXPECT_TRUE(smtp_mail(*stream, "MAIL", *mail.envelope, mail.body.get())) << stream->reply;
  EXPECT_EQ(stream->reply, "250 queued as 42");
  smtp_close(stream);
  EXPECT_EQ(stream, nullptr);
  std::string wire = peer.received();
  std::optional<std::string> here = host_official_name();
  EXPECT_THAT(wire, HasSubstr("HELO " + here.value_or("") +
                              "\r\nRSET\r\nMAIL FROM:<li@example.cn>\r\n"
                              "RCPT TO:<wang@pku.edu.cn>\r\nDATA\r\n"));
  EXPECT_THAT(data_of(wire),
              HasSubstr("\r\n\r\n..starts with a dot\r\nmiddle\r\n..\r\n...two\r\nend\r\n.\r\n"));
  EXPECT_THAT(wire, EndsWith("\r\n.\r\nQUIT\r\n"));
}

// Group markers are no recipients; Bcc recipients are, without a Bcc line.
TEST(Smtp, RecipientsAreToCcAndBccButNeverNone) {
  server peer(greeted() + delivery({"250 ok", "250 ok"}));
  auto stream = open_to(peer);
  ASSERT_NE(stream, nullptr);
  letter none("x");
  EXPECT_FALSE(smtp_mail(*stream, "MAIL", *none.envelope, none.body.get()));
  EXPECT_EQ(stream->reply, "554 No recipients specified");
  letter mail("x");
  mail.envelope->to = address("friends", "", address("wang", "pku.edu.cn", mail_new_address()));
  mail.envelope->to->host.reset();
  mail.envelope->bcc = address("secret", "example.cn");
  smtp_mail(*stream, "MAIL", *mail.envelope, mail.body.get());
  stream.reset();
  std::string wire = peer.received();
  EXPECT_THAT(wire,
              HasSubstr("RCPT TO:<wang@pku.edu.cn>\r\nRCPT TO:<secret@example.cn>\r\nDATA\r\n"));
  EXPECT_THAT(wire, Not(HasSubstr("RCPT TO:<friends")));
  EXPECT_THAT(data_of(wire), Not(HasSubstr("secret")));
}

TEST(Smtp, ARefusedRecipientStopsTheLetterAndKeepsTheServerLine) {
  server peer(greeted() + replies({"250 reset", "250 sender ok", "250 ok", "550 5.1.1 no such user",
                                   "250 reset"}));
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
  EXPECT_THAT(peer.received(), Not(HasSubstr("DATA")));
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
  server peer(steps{server::send("220 hi\r\n")} + replies({"501 who?", "250 hello localhost"}));
  auto stream = smtp_open({"LocalHost:" + std::to_string(peer.port())}, false);
  ASSERT_NE(stream, nullptr);
  stream.reset();
  EXPECT_THAT(peer.lines(), ElementsAre(HasSubstr("HELO "), "HELO localhost"));
}

TEST(Smtp, TheNextHostIsTriedWhenOneFails) {
  server refusing(steps{server::send("554 go away\r\n")} + replies({"221 bye"}));
  server accepting(greeted());
  log_capture log;
  auto stream = smtp_open({"[127.0.0.1]:1", "127.0.0.1:" + std::to_string(refusing.port()),
                           "127.0.0.1:" + std::to_string(accepting.port()), ""},
                          false);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(tcp_remote_host(*stream->tcp), "127.0.0.1");
  stream.reset();
  EXPECT_THAT(refusing.lines(), ElementsAre("QUIT"));
}

TEST(Smtp, AnEmptyServerListIsReported) {
  log_capture log;
  EXPECT_EQ(smtp_open({""}, false), nullptr);
  EXPECT_EQ(smtp_open({}, false), nullptr);
  EXPECT_THAT(log.texts(), ElementsAre("Missing MTP service host", "Missing MTP service host"));
}

}  // namespace
