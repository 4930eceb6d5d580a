// Letters made from a real Dovecot inbox, as the fetch routine makes them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "model/huge.h"
#include "model/letter_from_mail.h"
#include "model/message.h"
#include "model/part.h"
#include "tests/e2e/dovecot_fixture.h"

namespace {

// The BODY[...] sections the client asked for, in order.
std::vector<std::string> fetched_sections(const std::vector<std::string>& trace) {
  std::vector<std::string> sections;
  for (const std::string& line : trace) {
    const std::size_t at = line.find(" BODY[");
    if (at == std::string::npos || line.find("FETCH") == std::string::npos) continue;
    const std::size_t end = line.find(']', at);
    if (line.rfind("* ", 0) != 0) sections.push_back(line.substr(at + 6, end - at - 6));
  }
  return sections;
}

TEST_F(Dovecot, AMultipartLetterIsFetchedPartByPartAndDecoded) {
  server_->deliver("tester",
                   "From: Wang Li <wang@pku.edu.cn>\nSubject: parts\nMIME-Version: 1.0\n"
                   "Content-Type: multipart/mixed; boundary=o\n\n"
                   "--o\nContent-Type: text/plain; charset=CN-GB; format=flowed\n"
                   "Content-Transfer-Encoding: quoted-printable\n\n=C4=E3=BA=C3\n"
                   "--o\nContent-Type: multipart/alternative; boundary=i\n\n"
                   "--i\n\ntwo.one\n--i\nContent-Type: image/gif\nContent-Transfer-Encoding: "
                   "base64\n\nR0lGODlh\n--i--\n"
                   "--o\nContent-Type: message/rfc822\n\nFrom: Zhang <z@x.org>\nSubject: in\n\n"
                   "inner\n"
                   "--o--\n");
  server_->deliver("tester", "Subject: nobody\n\nno sender\n");
  mail_stream* stream = open(OPEN_DEBUG);
  ASSERT_NE(stream, nullptr);
  ASSERT_EQ(stream->nmsgs, 2u);

  trace_.clear();
  std::unique_ptr<CAletter> letter = letter_from_stream(stream, 1);
  ASSERT_TRUE(letter);
  EXPECT_THAT(fetched_sections(trace_), testing::ElementsAre("1", "2.1", "2.2", "3", "3.1"));
  EXPECT_EQ(letter->flags.status, "N  ");
  EXPECT_GT(letter->flags.size, 300u);
  EXPECT_EQ(letter->envelope.subject, "parts");
  EXPECT_EQ(letter->envelope.date.size(), 26u) << letter->envelope.date;
  ASSERT_TRUE(letter->envelope.from);
  EXPECT_EQ(letter->envelope.from->items[0]->name, "Wang Li");
  EXPECT_EQ(letter->envelope.from->items[0]->address, "wang@pku.edu.cn");
  EXPECT_TRUE(letter->envelope.message_id.empty());
  const CPart* parts = letter->body.part();
  ASSERT_TRUE(parts);
  ASSERT_EQ(parts->items.size(), 3u);
  EXPECT_EQ(parts->items[0]->body.text, "\xC4\xE3\xBA\xC3");
  ASSERT_EQ(parts->items[0]->body.parameters->items.size(), 1u);
  const CPart* inner = parts->items[1]->body.part();
  ASSERT_TRUE(inner);
  EXPECT_EQ(inner->items[0]->body.text, "two.one");
  EXPECT_EQ(inner->items[1]->body.huge()->bytes(), "GIF89a");
  const CMessage* message = parts->items[2]->body.message();
  ASSERT_TRUE(message);
  EXPECT_EQ(message->envelope.from->items[0]->name, "?who");
  EXPECT_EQ(message->envelope.from->items[0]->address, "Zhang");
  EXPECT_EQ(message->body.text, "inner");

  std::unique_ptr<CAletter> nobody = letter_from_stream(stream, 2);
  ASSERT_TRUE(nobody);
  ASSERT_TRUE(nobody->envelope.from);
  EXPECT_EQ(nobody->envelope.from->items[0]->name, "");
  EXPECT_EQ(nobody->envelope.from->items[0]->address, "");
  EXPECT_EQ(nobody->body.text, "no sender\r\n");
  mail_close(stream);
}

}  // namespace
