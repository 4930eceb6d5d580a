// The SMTP client against a scripted server.

#include "net/smtp.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/host_name.h"
#include "tests/net/script_steps.h"
#include "tests/net/smtp_letter.h"
#include "tests/support/log_capture.h"
#include "tests/support/table.h"

namespace {

using testing::ElementsAre;
using testing::EndsWith;
using testing::HasSubstr;
using testing::Not;
using strings = std::vector<std::string>;

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
  EXPECT_THAT(wire, HasSubstr("EHLO " + here.value_or("") +
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

TEST(Smtp, AConnectionLostDuringDataLeaves421) {
  server peer(greeted() + delivery({"250 ok"}, 3) + steps{server::close()});
  auto stream = open_to(peer);
  ASSERT_NE(stream, nullptr);
  letter mail(std::string(4 << 20, 'x'));
  mail.envelope->to = address("wang", "pku.edu.cn");
  EXPECT_FALSE(smtp_mail(*stream, "MAIL", *mail.envelope, mail.body.get()));
  EXPECT_EQ(stream->reply, "421 SMTP connection went away!");
}

TEST(Smtp, HeloWhenEhloIsRefusedAndHeloLocalhostWhenOurNameIs) {
  server peer(steps{server::send("220 hi\r\n")} +
              replies({"502 no EHLO", "501 who?", "250 hello localhost"}));
  auto stream = smtp_open({"LocalHost:" + std::to_string(peer.port())}, false);
  ASSERT_NE(stream, nullptr);
  stream.reset();
  EXPECT_THAT(peer.lines(), ElementsAre(HasSubstr("EHLO "), HasSubstr("HELO "), "HELO localhost"));
}

struct login_row {
  std::string name;
  std::string extensions;             // the EHLO reply after its first line
  bool consent;                       // to a login in clear
  std::vector<std::string> answers;   // to the commands after EHLO
  std::string options;                // after the host: "/starttls"...
  std::vector<std::string> commands;  // after EHLO
  std::string failure;                // empty when the open succeeds
};

class SmtpLogin : public testing::TestWithParam<login_row> {};

// The account logs in where the server asks for it, in clear only with the
// user's consent; the trace never shows the password.
TEST_P(SmtpLogin, GoesAsTheServerAndTheUserAllow) {
  const login_row& row = GetParam();
  server peer(steps{server::send("220 hi\r\n")} + replies({"250-hello\r\n" + row.extensions}) +
              replies(row.answers));
  mail_callbacks callbacks;
  std::vector<std::string> trace;
  callbacks.on_plain_login = [&](std::string_view host) {
    return row.consent && host == "127.0.0.1";
  };
  callbacks.on_debug = [&](std::string_view line) { trace.emplace_back(line); };
  log_capture log(callbacks);
  smtp_account account{"li", "secret"};
  std::string failure;
  auto stream = smtp_open({"127.0.0.1:" + std::to_string(peer.port()) + row.options}, true,
                          &account, &failure);
  EXPECT_EQ(stream == nullptr, !row.failure.empty());
  EXPECT_EQ(failure, row.failure);
  smtp_close(stream);
  std::vector<std::string> lines = peer.lines();
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()), row.commands);
  EXPECT_THAT(testing::PrintToString(trace), Not(HasSubstr("AGxpAHNlY3JldA")));
  EXPECT_THAT(testing::PrintToString(trace), Not(HasSubstr("c2VjcmV0")));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SmtpLogin,
    testing::Values(
        login_row{"plain_with_consent", "250 AUTH LOGIN PLAIN", true, strings{"235 ok", "221 bye"},
                  "", strings{"AUTH PLAIN AGxpAHNlY3JldA==", "QUIT"}, ""},
        login_row{"login_when_plain_is_not_offered", "250 AUTH=LOGIN", true,
                  strings{"334 VXNlcm5hbWU6", "334 UGFzc3dvcmQ6", "235 ok", "221 bye"}, "",
                  strings{"AUTH LOGIN", "bGk=", "c2VjcmV0", "QUIT"}, ""},
        login_row{"nothing_in_clear_without_consent", "250 AUTH PLAIN", false, strings{"221 bye"},
                  "", strings{"QUIT"}, "554 Login in clear refused: the server offers no TLS"},
        login_row{"the_servers_words_for_a_wrong_password", "250 AUTH PLAIN", true,
                  strings{"535 5.7.8 Authentication credentials invalid", "221 bye"}, "",
                  strings{"AUTH PLAIN AGxpAHNlY3JldA==", "QUIT"},
                  "535 5.7.8 Authentication credentials invalid"},
        login_row{"no_login_where_none_is_offered", "250 SIZE 1000", false, strings{"221 bye"}, "",
                  strings{"QUIT"}, ""},
        login_row{"starttls_required_but_not_offered", "250 AUTH PLAIN", true, strings{"221 bye"},
                  "/starttls", strings{"QUIT"}, "554 The server offers no STARTTLS"}),
    row_name());

// Without an account the login is the one on_login names when the server
// asks for one; no name, no login.
struct asked_row {
  std::string name;
  std::string user;
  std::vector<std::string> commands;  // after EHLO
};

class SmtpAskedLogin : public testing::TestWithParam<asked_row> {};

TEST_P(SmtpAskedLogin, IsAskedForOnlyWhenOffered) {
  const asked_row& row = GetParam();
  server peer(steps{server::send("220 hi\r\n")} + replies({"250-hello\r\n250 AUTH PLAIN"}) +
              replies(row.user.empty() ? std::vector<std::string>{"221 bye"}
                                       : std::vector<std::string>{"235 ok", "221 bye"}));
  mail_callbacks callbacks;
  std::vector<std::string> asked;
  callbacks.on_login = [&](std::string_view host, std::string& user, std::string& password,
                           long trial) {
    asked.push_back(std::string(host) + " " + std::to_string(trial));
    user = row.user;
    password = "secret";
  };
  callbacks.on_plain_login = [](std::string_view) { return true; };
  log_capture log(callbacks);
  auto stream = smtp_open({"127.0.0.1:" + std::to_string(peer.port())}, false);
  ASSERT_NE(stream, nullptr) << testing::PrintToString(log.texts());
  smtp_close(stream);
  EXPECT_THAT(asked, ElementsAre("127.0.0.1 1"));
  std::vector<std::string> lines = peer.lines();
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()), row.commands);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SmtpAskedLogin,
    testing::Values(asked_row{"named", "li", {"AUTH PLAIN AGxpAHNlY3JldA==", "QUIT"}},
                    asked_row{"no_name_no_login", "", {"QUIT"}}),
    row_name());

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

TEST(Smtp, AMissingHostOrAnUnknownWordAfterItIsReported) {
  log_capture log;
  EXPECT_EQ(smtp_open({""}, false), nullptr);
  EXPECT_EQ(smtp_open({}, false), nullptr);
  EXPECT_EQ(smtp_open({"127.0.0.1:1/ssl"}, false), nullptr);
  EXPECT_THAT(log.texts(), ElementsAre("Missing MTP service host", "Missing MTP service host",
                                       "Unknown word in the SMTP server 127.0.0.1:1/ssl: ssl"));
}

}  // namespace
