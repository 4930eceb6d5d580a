// Replies, untagged data and data items of the IMAP client, without a server.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "mail/cache.h"
#include "mail/stream.h"
#include "message/body_names.h"
#include "message/records.h"
#include "net/imap_data.h"
#include "net/imap_protocol.h"
#include "tests/message/summary.h"
#include "tests/support/log_capture.h"
#include "tests/support/table.h"

namespace {

using testing::Contains;
using testing::ElementsAre;

// A stream of the IMAP driver without a connection.
class ImapData : public testing::Test {
 protected:
  void SetUp() override {
    stream_.local = std::make_unique<imap_local>();
    imap_local_of(&stream_)->prefix = "{h}";
    mail_cache(&stream_, 0, CACHE_INIT);
    mail_callbacks callbacks;
    callbacks.on_notify = [this](mail_stream*, std::string_view text, long level) {
      notes_.push_back(std::to_string(level) + " " + std::string(text));
    };
    callbacks.on_mailbox = [this](std::string_view name) { names_.push_back(std::string(name)); };
    callbacks.on_searched = [this](mail_stream*, std::uint32_t msgno) { hits_.push_back(msgno); };
    callbacks.on_flags = [this](mail_stream*, std::uint32_t msgno) { flagged_.push_back(msgno); };
    log_ = std::make_unique<log_capture>(std::move(callbacks));
  }
  void TearDown() override { mail_free_cache(&stream_); }

  void untagged(std::initializer_list<std::string> lines) {
    for (const std::string& line : lines) {
      const imap_response* reply = imap_parse_reply(&stream_, line);
      ASSERT_NE(reply, nullptr) << line;
      imap_unsolicited(&stream_, *reply);
    }
  }

  mail_stream stream_;
  std::vector<std::string> notes_, names_;
  std::vector<std::uint32_t> hits_, flagged_;
  std::unique_ptr<log_capture> log_;
};

struct parse_row {
  std::string name;
  std::string line;
  bool parsed;
  std::string tag, key, text;
  std::string report = {};  // empty: none
};

// The one report a row expects, or none.
template <typename Row>
std::vector<std::string> reports_of(const Row& row) {
  return row.report.empty() ? std::vector<std::string>{} : std::vector<std::string>{row.report};
}

class ParseReply : public ImapData, public testing::WithParamInterface<parse_row> {};

TEST_P(ParseReply, SplitsTagKeyAndText) {
  const parse_row& row = GetParam();
  const imap_response* reply = imap_parse_reply(&stream_, row.line);
  ASSERT_EQ(reply != nullptr, row.parsed);
  if (reply) {
    EXPECT_EQ(reply->tag, row.tag);
    EXPECT_EQ(reply->key, row.key);
    EXPECT_EQ(reply->text, row.text);
    EXPECT_EQ(reply->line, row.line);
  }
  EXPECT_EQ(log_->texts(), reports_of(row));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseReply,
    testing::Values(
        parse_row{"tagged", "A00001 OK SELECT done", true, "A00001", "OK", "SELECT done"},
        parse_row{"key_upper_cased", "A2 no such", true, "A2", "NO", "such"},
        parse_row{"untagged_without_text", "* SEARCH", true, "*", "SEARCH", ""},
        parse_row{"bare_continuation", "+", true, "+", "BAD", "Ready for more command"},
        parse_row{"continuation_with_text", "+ go ahead", true, "+", "BAD", "go ahead"},
        parse_row{"blank_line", "", false, "", "", "", "IMAP server sent a blank line"},
        parse_row{"missing_key", "A00003", false, "", "", "", "Missing IMAP reply key: A00003"},
        parse_row{"missing_key_after_blank", "A00003 ", false, "", "", "",
                  "Missing IMAP reply key: A00003"}),
    row_name());

struct ok_row {
  std::string name;
  std::string line;
  bool ok;
  std::string report = {};  // empty: none
};

class ReplyOk : public ImapData, public testing::WithParamInterface<ok_row> {};

TEST_P(ReplyOk, DecidesAndReports) {
  const ok_row& row = GetParam();
  const imap_response* reply = imap_parse_reply(&stream_, row.line);
  ASSERT_NE(reply, nullptr);
  EXPECT_EQ(imap_ok(&stream_, *reply), row.ok);
  EXPECT_EQ(log_->texts(), reports_of(row));
}

INSTANTIATE_TEST_SUITE_P(Rows, ReplyOk,
                         testing::Values(ok_row{"ok", "A1 OK fine", true},
                                         ok_row{"untagged_preauth", "* PREAUTH hello", true},
                                         ok_row{"tagged_preauth", "A1 PREAUTH hello", false,
                                                "Unexpected IMAP response: PREAUTH hello"},
                                         ok_row{"no_is_silent", "A1 NO sorry", false},
                                         ok_row{"bad_is_reported", "A1 BAD what", false,
                                                "IMAP error: what"},
                                         ok_row{"continuation_is_not_success", "+", false,
                                                "IMAP error: Ready for more command"}),
                         row_name());

TEST_F(ImapData, AMadeUpReplyStandsForALostConnection) {
  const imap_response& reply =
      imap_fake_reply(&stream_, "A00007", "IMAP connection broken (command)");
  EXPECT_EQ(reply.line, "A00007 NO [CLOSED] IMAP connection broken (command)");
  EXPECT_EQ(reply.key, "NO");
  EXPECT_THAT(notes_, ElementsAre("4 IMAP connection broken (command)"));
  EXPECT_EQ(imap_send(&stream_, "NOOP").line, "* NO [CLOSED] No-op dead stream");
}

TEST_F(ImapData, CountsAndExpungesChangeTheMailbox) {
  untagged({"* 5 EXISTS", "* 2 RECENT"});
  EXPECT_EQ(stream_.nmsgs, 5u);
  EXPECT_EQ(stream_.recent, 2u);
  for (std::uint32_t i = 1; i <= 5; ++i)
    mail_elt(&stream_, i)->data1 = i;
  untagged({"* 3 EXPUNGE"});
  EXPECT_EQ(stream_.nmsgs, 4u);
  EXPECT_EQ(mail_elt(&stream_, 3)->data1, 4u);
  untagged({"* 0 EXPUNGE", "* 9 EXPUNGE"});
  EXPECT_EQ(stream_.nmsgs, 4u) << "numbers outside the mailbox change nothing";
  EXPECT_THAT(log_->texts(),
              ElementsAre("Unknown message data: 0 EXPUNGE", "Unknown message data: 9 EXPUNGE"));
}

TEST_F(ImapData, HostileNumbersDoNotGrowTheCache) {
  untagged({"* 4000000000 EXISTS", "* 0 FETCH (FLAGS (\\Seen))",
            "* 99999999999 FETCH (FLAGS (\\Seen))"});
  EXPECT_EQ(stream_.nmsgs, 0u);
  EXPECT_EQ(stream_.cache_size, 0u);
  EXPECT_EQ(log_->entries().size(), 3u);
}

TEST_F(ImapData, ServerNoticesGoToTheApplication) {
  untagged({"* OK [UNSEEN 3] first unseen", "* NO disk almost full", "* BAD command unknown",
            "* BYE shutting down"});
  EXPECT_THAT(notes_, ElementsAre("0 [UNSEEN 3] first unseen", "1 disk almost full",
                                  "2 command unknown", "4 shutting down"));
  EXPECT_FALSE(stream_.readonly);
  stream_.silent = true;
  untagged({"* NO quiet", "* BYE quiet"});
  EXPECT_EQ(notes_.size(), 4u);
  untagged({"* OK [read-only] now"});
  EXPECT_TRUE(stream_.readonly) << "the code is compared without regard to case";
}

TEST_F(ImapData, SearchHitsListingsAndUnknownData) {
  untagged({"* 4 EXISTS", "* SEARCH 1 4 7 x"});
  EXPECT_THAT(hits_, ElementsAre(1, 4));
  EXPECT_TRUE(mail_elt(&stream_, 4)->searched);
  untagged({"* MAILBOX Work/2024", "* COPY done", "* 2 COPY", "* 2 FROB x", "* WHATEVER x"});
  EXPECT_THAT(names_, ElementsAre("{h}Work/2024"));
  EXPECT_THAT(log_->texts(), ElementsAre("Unexpected unsolicited message: * COPY done",
                                         "Unknown message data: 2 FROB x",
                                         "Unexpected unsolicited message: * WHATEVER x"));
}

TEST_F(ImapData, FlagsReplaceWhatWasKnown) {
  untagged({"* FLAGS (\\Seen \\Answered Work Urgent)", "* 2 EXISTS"});
  mail_element* element = mail_elt(&stream_, 2);
  element->deleted = 1;
  untagged({"* 2 FETCH (FLAGS (\\seen \\Recent Urgent \\Junked Personal \\Draft))"});
  EXPECT_TRUE(element->seen && element->recent);
  EXPECT_FALSE(element->deleted);
  EXPECT_EQ(element->user_flags, 1u << 1);
  EXPECT_THAT(flagged_, ElementsAre(2));
  EXPECT_THAT(log_->texts(),
              ElementsAre("Unknown user flag: Personal", "Unknown system flag: \\DRAFT"));
}

TEST_F(ImapData, MessageDataFillsTheCache) {
  untagged({"* 1 EXISTS",
            "* 1 FETCH (INTERNALDATE \" 5-Dec-1996 11:53:20 +0800\" RFC822.SIZE 310 ENVELOPE "
            "(\"Thu, 5 Dec 1996\" \"Hi\" ((\"Wang Li\" NIL \"wang\" \"pku.edu.cn\")) NIL NIL "
            "((NIL NIL \"team\" NIL)(NIL NIL \"li\" \"example.cn\")(NIL NIL NIL NIL)) NIL NIL NIL "
            "\"<1@pku>\"))"});
  mail_long_element* element = mail_lelt(&stream_, 1);
  EXPECT_EQ(element->rfc822_size, 310u);
  EXPECT_EQ(element->day, 5u);
  EXPECT_EQ(element->zhours, 8u);
  ASSERT_NE(element->envelope, nullptr);
  EXPECT_EQ(envelope_summary(*element->envelope),
            "date=Thu, 5 Dec 1996|from=Wang Li<wang@pku.edu.cn>|subject=Hi|"
            "to=<team@-><li@example.cn><-@->|message_id=<1@pku>|");
  EXPECT_TRUE(log_->texts().empty()) << testing::PrintToString(log_->texts());
}

TEST_F(ImapData, BrokenDataIsReportedNotFatal) {
  untagged({"* 1 EXISTS", "* 1 FETCH (ENVELOPE (\"d\" \"s\" (x) NIL NIL NIL NIL NIL NIL NIL)",
            "* 1 FETCH (INTERNALDATE \"yesterday\")", "* 1 FETCH (RFC822.SIZE 1 FOO 2)",
            "* 1 FETCH (BODY (\"TEXT\" \"PLAIN\" NIL NIL NIL \"7BIT\" 1 1 junk))",
            "* 1 FETCH (BODY[1] \"text\")"});
  for (const char* expected :
       {"Junk at end of address list: x) NIL NIL NIL NIL NIL NIL NIL)", "Bogus date: yesterday",
        "Unknown message property: FOO", "Junk at end of body part: junk))"})
    EXPECT_THAT(log_->texts(), Contains(expected));
}

// The body structure of a multipart letter with an embedded message.
const char* kStructure =
    "* 1 FETCH (BODY ((\"TEXT\" \"PLAIN\" (\"charset\" \"GB2312\" \"format\" \"flowed\") NIL "
    "\"greeting\" \"BASE64\" 44 1)(\"MESSAGE\" \"RFC822\" NIL \"<id@x>\" NIL \"7BIT\" 200 "
    "(NIL \"inner\" NIL NIL NIL NIL NIL NIL NIL NIL) ((\"TEXT\" \"HTML\" NIL NIL NIL \"8bit\" 10 "
    "2)(\"IMAGE\" \"GIF\" (\"NAME\" \"a.gif\") NIL NIL \"base64\" 600) \"alternative\") 8)"
    "(\"X-KESTREL\" \"thing\" NIL NIL NIL \"x-uuencode\" 5) \"MIXED\"))";

TEST_F(ImapData, BodyStructuresBecomeBodyTrees) {
  untagged({"* 1 EXISTS", kStructure});
  const mail_body* body = mail_lelt(&stream_, 1)->body.get();
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(body_tree(*body),
            "MULTIPART/MIXED 7BIT 0 0 (TEXT/PLAIN BASE64 CHARSET=GB2312 FORMAT=flowed "
            "description=greeting 44 1, MESSAGE/RFC822 7BIT id=<id@x> 200 8 "
            "(MULTIPART/ALTERNATIVE 7BIT 0 0 (TEXT/HTML 8BIT 10 2, IMAGE/GIF BASE64 NAME=a.gif 600 "
            "0)), X-KESTREL/THING X-UUENCODE 5 0)");
  EXPECT_EQ(body->contents.part->next->body.contents.message.envelope->subject, "inner");
  EXPECT_TRUE(log_->texts().empty()) << testing::PrintToString(log_->texts());
}

TEST_F(ImapData, EmptyTypeNamesStandForPlainText) {
  untagged({"* 1 EXISTS", "* 1 FETCH (BODY (\"\" \"\" NIL NIL NIL \"7bit\" 7 1))"});
  const mail_body* body = mail_lelt(&stream_, 1)->body.get();
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(body->type, TYPE_TEXT);
  EXPECT_EQ(body->subtype, "PLAIN");
  for (const mail_text& name : body_type_names())
    EXPECT_NE(name, "") << "no empty name enters";
}

TEST_F(ImapData, DeepNestingIsRefused) {
  untagged({"* 1 EXISTS", "* 1 FETCH (BODY " + std::string(5000, '(') + "\"TEXT\")"});
  EXPECT_EQ(mail_lelt(&stream_, 1)->body, nullptr);
  ASSERT_FALSE(log_->texts().empty());
  EXPECT_TRUE(log_->texts()[0].starts_with("Bogus body structure: "));
}

struct section_row {
  std::string name;
  std::string section;
  std::string contents;  // empty: refused with the report
  std::string report;
};

class SectionContents : public ImapData, public testing::WithParamInterface<section_row> {};

TEST_P(SectionContents, LandInThePartTheSectionNames) {
  const section_row& row = GetParam();
  untagged({"* 1 EXISTS", kStructure,
            "* 1 FETCH (BODY[" + row.section + "] \"bytes of " + row.section + "\")"});
  mail_body* body = mail_lelt(&stream_, 1)->body.get();
  mail_text* slot = imap_section_contents(body, row.section, false);
  if (row.contents.empty()) {
    EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(log_->texts(), std::vector<std::string>{row.report});
  } else {
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(*slot, row.contents);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SectionContents,
    testing::Values(section_row{"first_part", "1", "bytes of 1", ""},
                    section_row{"embedded_message_whole", "2", "bytes of 2", ""},
                    section_row{"inside_the_embedded_message", "2.2", "bytes of 2.2", ""},
                    section_row{"third_part", "3", "bytes of 3", ""},
                    section_row{"no_such_part", "4", "", "Invalid section number"},
                    section_row{"leaf_has_no_parts", "1.1", "", "Invalid sub-section"},
                    section_row{"zero", "0", "", "Bogus section number"},
                    section_row{"empty_number", "2..1", "", "Bogus section number"},
                    section_row{"letters", "x", "", "Bogus section number"},
                    section_row{"leaf_in_the_embedded_message", "2.1.1", "", "Invalid sub-section"},
                    section_row{"the_embedded_multipart", "2.1", "bytes of 2.1", ""}),
    row_name());

TEST_F(ImapData, ASinglePartTakesOnlyNumberOne) {
  untagged({"* 1 EXISTS", "* 1 FETCH (BODY (\"TEXT\" \"PLAIN\" NIL NIL NIL \"7BIT\" 3 1))",
            "* 1 FETCH (BODY[2] \"x\" BODY[1] \"abc\")"});
  EXPECT_EQ(mail_lelt(&stream_, 1)->body->contents.text, "abc");
  EXPECT_THAT(log_->texts(), ElementsAre("Bad section number"));
}

TEST_F(ImapData, ContentsWithoutAStructureAreDropped) {
  untagged({"* 1 EXISTS", "* 1 FETCH (BODY[1] \"orphan\")"});
  EXPECT_THAT(log_->texts(), ElementsAre("Body contents received when body structure unknown"));
}

TEST_F(ImapData, ShortCacheTakesOnlyTheCurrentMessage) {
  stream_.short_cache = true;
  stream_.current_msgno = 2;
  untagged({"* 3 EXISTS", "* 2 FETCH (BODY (\"TEXT\" \"PLAIN\" NIL NIL NIL \"7BIT\" 3 1))"});
  EXPECT_NE(stream_.current_body, nullptr);
  untagged({"* 3 FETCH (BODY (\"TEXT\" \"PLAIN\" NIL NIL NIL \"7BIT\" 3 1))"});
  EXPECT_THAT(log_->texts(), ElementsAre("Body received for 3 when current is 2"));
}

TEST_F(ImapData, StringsOfEveryForm) {
  imap_cursor cursor(&stream_, " \"a\\b \\\"x\\\" \\\\\" NIL nil {0}");
  EXPECT_EQ(imap_string(cursor), "a\\b \"x\" \\") << "only \\\" and \\\\ are escapes";
  EXPECT_EQ(imap_string(cursor), std::nullopt);
  EXPECT_EQ(imap_string(cursor), std::nullopt);
  EXPECT_EQ(imap_string(cursor), std::nullopt) << "no connection to read the literal from";
  imap_cursor bad(&stream_, "(x)");
  EXPECT_EQ(imap_string(bad), std::nullopt);
  EXPECT_THAT(log_->texts(), ElementsAre("Not a string: ((x)"));
}

TEST_F(ImapData, NumbersAndWhatIsNotOne) {
  imap_cursor cursor(&stream_, " 42 -7 NIL");
  EXPECT_EQ(imap_number(cursor), 42);
  EXPECT_EQ(imap_number(cursor), -7);
  EXPECT_EQ(imap_number(cursor), 0);
  EXPECT_THAT(log_->texts(), ElementsAre("Not a number: NIL"));
}

}  // namespace
