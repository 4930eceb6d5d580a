// The IMAP client against a real Dovecot server.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "mail/cache.h"
#include "mail/fetch.h"
#include "message/body_section.h"
#include "message/envelope_parse.h"
#include "model/letter_from_mail.h"
#include "platform/host_name.h"
#include "tests/e2e/dovecot_fixture.h"
#include "tests/support/body_shape.h"
#include "tests/support/corpus.h"
#include "tests/support/fault_proxy.h"
#include "tests/support/file_text.h"

namespace {

// Letters of our own: a multipart with a quoted-printable, a base64 and an
// embedded-message part; GB, Big5 and ISO-2022-CN text parts.
std::string fixture_letter(const char* name) {
  return file_text(std::string(KESTREL_FIXTURES "/letters/") + name);
}

// A wrong password is asked again; three end the attempt (the scripted
// server tests show the wire).
TEST_F(Dovecot, ThreeWrongPasswordsEndTheAttempt) {
  wrong_passwords_ = 3;
  EXPECT_EQ(mail_open(nullptr, server_->mailbox_name(), 0), nullptr);
  EXPECT_EQ(trials_, 3);
  EXPECT_THAT(log_->texts(), testing::Contains("Too many login failures"));
}

TEST_F(Dovecot, FlagsSearchCopyExpungeAndAppend) {
  wrong_passwords_ = 1;
  for (int i = 1; i <= 4; ++i) {
    server_->deliver("tester", "Subject: letter " + std::to_string(i) +
                                   "\nFrom: li@example.cn\n\nbody of letter " + std::to_string(i) +
                                   "\n");
  }
  mail_stream* stream = open();
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(trials_, 2);
  EXPECT_FALSE(stream->readonly);
  ASSERT_EQ(stream->nmsgs, 4u);
  mail_driver& driver = *stream->driver;

  driver.setflag(stream, "2:3", "(\\Flagged \\Seen)");
  driver.fetchflags(stream, "1:4");
  EXPECT_TRUE(mail_elt(stream, 2)->flagged && mail_elt(stream, 3)->seen);
  EXPECT_FALSE(mail_elt(stream, 1)->flagged);
  driver.clearflag(stream, "3", "\\Flagged");
  driver.fetchflags(stream, "3");
  EXPECT_FALSE(mail_elt(stream, 3)->flagged);

  driver.search(stream, "FLAGGED");
  for (std::uint32_t i = 1; i <= 4; ++i)
    EXPECT_EQ(mail_elt(stream, i)->searched != 0, i == 2) << i;

  EXPECT_TRUE(driver.create(stream, server_->mailbox_name("Archive")));
  EXPECT_TRUE(driver.copy(stream, "1,4", "Archive"));
  mail_setflag(stream, "1", "\\Deleted");
  mail_expunge(stream);
  EXPECT_EQ(stream->nmsgs, 3u);

  text_source source;
  text_source_from_memory(source, "Subject: appended\r\n\r\nhello\r\n");
  EXPECT_TRUE(driver.append(stream, server_->mailbox_name("Archive"), "(\\Seen)",
                            " 5-Dec-1996 11:53:20 +0800", source));
  mail_close(stream);

  mail_stream* archive = open(OPEN_READONLY, "Archive");
  ASSERT_NE(archive, nullptr);
  EXPECT_EQ(archive->nmsgs, 3u);
  archive->driver->fetchfast(archive, "3");
  EXPECT_TRUE(mail_elt(archive, 3)->seen);
  EXPECT_EQ(mail_elt(archive, 3)->day, 5u);
  EXPECT_EQ(mail_fetchheader(archive, 3), "Subject: appended\r\n\r\n");
  EXPECT_EQ(archive->driver->fetchtext(archive, 3), "hello\r\n");
  mail_envelope* envelope = mail_fetchstructure(archive, 1, nullptr);
  ASSERT_NE(envelope, nullptr);
  EXPECT_EQ(envelope->subject, "letter 1");
  mail_close(archive);
}

// A whole fetch through a proxy that cuts the connection at many points,
// inside literals too: every run ends in an orderly failure.
TEST_F(Dovecot, ACutAnywhereInAFetchEndsInAnOrderlyFailure) {
  server_->deliver("tester", fixture_letter("pictures.eml"));
  server_->deliver("tester", "Subject: plain\n\n" + std::string(3000, 'p') + "\n");
  std::vector<std::string> farewells;
  mail_callbacks callbacks = mail_set_callbacks({});
  callbacks.on_notify = [&](mail_stream*, std::string_view text, long level) {
    if (level == LOG_FAREWELL) farewells.push_back(std::string(text));
  };
  mail_set_callbacks(callbacks);
  int cut_runs = 0;
  for (long cut : {0L, 40L, 200L, 400L, 600L, 900L, 1200L, 1500L, 1800L, 2200L, 2600L, 3000L, 3600L,
                   4200L, 5000L, 6500L}) {
    fault_proxy proxy(server_->port(), fault_proxy::toward_client, cut);
    farewells.clear();
    std::string name = "{127.0.0.1:" + std::to_string(proxy.port()) + "}INBOX";
    mail_stream* stream = mail_open(nullptr, name, OPEN_SILENT);
    const bool opened = stream;
    for (std::uint32_t i = 1; stream && i <= stream->nmsgs; ++i) {
      mail_body* body = nullptr;
      mail_fetchstructure(stream, i, &body);
      for (const std::string& section : body ? leaf_sections(*body) : std::vector<std::string>{})
        mail_fetchbody(stream, i, section);
    }
    if (stream) mail_close(stream);
    if (proxy.cut()) {
      ++cut_runs;
      EXPECT_TRUE(!opened || !farewells.empty()) << "cut at " << cut;
    }
  }
  EXPECT_GE(cut_runs, 12);
}

// Every letter of the corpus through the server and back: envelopes and
// structures of all, and every leaf section byte for byte as the file has it.
TEST_F(Dovecot, EveryLeafSectionComesBackAsTheFileHasIt) {
  std::vector<std::string> letters = {fixture_letter("pictures.eml"),
                                      fixture_letter("chinese.eml")};
  // Python's letters; enmime's include deliberately broken ones whose part ends
  // our own rules place elsewhere than Dovecot does.
  for (const corpus_letter& letter : corpus_letters()) {
    if (letter.name.starts_with("msg_")) letters.push_back(letter.bytes);
  }
  ASSERT_GT(letters.size(), 40u) << "Python's email test data (libpython3.11-testsuite)";
  std::map<std::string, parsed_letter> by_text;  // each letter as our own parser sees it
  for (const std::string& letter : letters) {
    std::string text = server_->deliver("tester", letter);
    text_source source;
    text_source_from_memory(source, text);
    by_text.emplace(text, letter_parse(source, local_host_name()));
  }
  mail_stream* stream = open(OPEN_READONLY);
  ASSERT_NE(stream, nullptr);
  ASSERT_EQ(stream->nmsgs, letters.size());
  int compared = 0, split_otherwise = 0;
  for (std::uint32_t i = 1; i <= stream->nmsgs; ++i) {
    mail_body* body = nullptr;
    mail_envelope* envelope = mail_fetchstructure(stream, i, &body);
    ASSERT_TRUE(envelope && body) << i;
    std::string header(mail_fetchheader(stream, i));
    auto found = by_text.find(header + std::string(stream->driver->fetchtext(stream, i)));
    ASSERT_NE(found, by_text.end()) << "message " << i << " is not one of the files";
    const auto& [text, file] = *found;
    // Our header parser keeps the blank a line's CR leaves; the server does not.
    std::string subject = file.envelope->subject.value_or("");
    if (subject.ends_with(' ')) subject.pop_back();
    EXPECT_EQ(envelope->subject.value_or(""), subject) << header;
    // A letter our parser splits otherwise (no MIME-Version, no delimiter
    // line, a digest's parts): its sections name other bytes.
    if (body_shape(*body) != body_shape(*file.body)) {
      ++split_otherwise;
      continue;
    }
    for (const std::string& section : leaf_sections(*body)) {
      std::optional<std::string_view> fetched = mail_fetchbody(stream, i, section);
      auto place = body_section_find(*file.body, file.body_offset, section);
      ASSERT_TRUE(fetched && place) << header << " section " << section;
      EXPECT_EQ(*fetched, text.substr(place->offset, place->body->bytes))
          << header << " section " << section;
      ++compared;
    }
  }
  std::printf("sections compared: %d; letters split otherwise by our parser: %d\n", compared,
              split_otherwise);
  mail_close(stream);
  EXPECT_GT(compared, 60);
}

}  // namespace
