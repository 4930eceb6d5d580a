// The letter model's stored form: byte layouts, round trips of every class
// and the checks made while a mailbox's data is read.

#include <gtest/gtest.h>

#include "model/address.h"
#include "model/aletter.h"
#include "model/box_file.h"
#include "model/huge.h"
#include "model/message.h"
#include "model/part.h"
#include "model/velmar_doc_data.h"
#include "tests/support/model_letters.h"
#include "tests/support/table.h"

namespace {

std::string bytes(std::initializer_list<int> values) {
  std::string result;
  for (int value : values)
    result += static_cast<char>(value);
  return result;
}

std::string counted(std::string_view text) {
  return static_cast<char>(text.size()) + std::string(text);
}

std::string new_class(std::string_view name, int schema = 0) {
  return bytes({0xFF, 0xFF, schema, 0, static_cast<int>(name.size()), 0}) + std::string(name);
}

std::string stored(const CVelmarDocData& document) {
  archive_memory_sink sink;
  std::string reason;
  EXPECT_TRUE(box_contents_write(sink, document, reason)) << reason;
  return sink.bytes();
}

std::unique_ptr<CVelmarDocData> read(const std::string& input, std::string& reason) {
  archive_memory_source source(input);
  return box_contents_read(source, reason);
}

// One letter of a list, new, from Li, a text body in CN-GB.
std::unique_ptr<CAletter> simple_letter() {
  return std::make_unique<CAletter>(
      CFlags(1234, "N  "),
      CEnvelope("hi", "5-Dec", one_address("Li", "li@x"), nullptr, nullptr, nullptr, ""),
      text_body("PLAIN", "hello", "CN-GB"));
}

// The stored form of simple_letter() through its letter-list reference:
// classes 1 (CAletter), 3 (CAddritem), 5 (CParaitem); objects 2, 4, 6.
const std::string kSimpleLetter =
    new_class("CAletter") + counted("N  ") + bytes({0xD2, 0x04, 0, 0}) + counted("5-Dec") +
    counted("hi") + counted("") + bytes({1, 1, 0}) + new_class("CAddritem") + counted("Li") +
    counted("li@x") + bytes({0, 0, 0}) + bytes({0, 0}) + counted("PLAIN") + counted("") +
    bytes({1, 1, 0}) + new_class("CParaitem") + counted("CHARSET") + counted("CN-GB") +
    counted("hello");

TEST(StoredForm, AMailboxOfOneLetterIsLaidOutAsTheFrameworkDid) {
  CVelmarDocData document;
  document.mailbox_name = "IN";
  document.letters.push_back(simple_letter());
  EXPECT_EQ(stored(document), bytes({1, 0}) + kSimpleLetter + counted("IN") + bytes({0xFF, 0xFF}));
}

// A second letter refers to the CAletter class by its index, and brings the
// part classes: CPart (class 8), CPartitem (10), CHuge (12), CMessage (15).
const std::string kSecondLetter =
    bytes({0x01, 0x80}) + counted("   ") + bytes({0, 0, 0, 0}) + counted("") + counted("") +
    counted("") + bytes({0, 0, 0, 0}) + bytes({1, 0}) + counted("MIXED") + counted("") +
    bytes({0}) + new_class("CPart") + bytes({2, 0}) + new_class("CPartitem") + bytes({5, 0}) +
    counted("GIF") + counted("") + bytes({0}) + new_class("CHuge") + bytes({3, 0, 0, 0}) + "GIF" +
    bytes({0x0A, 0x80}) + bytes({2, 0}) + counted("RFC822") + counted("") + bytes({0}) +
    new_class("CMessage") + counted("") + counted("inner") + counted("") + bytes({0, 0, 0, 0}) +
    bytes({0, 0}) + counted("") + counted("") + bytes({0}) + counted("") + counted("whole");

std::unique_ptr<CAletter> second_letter() {
  auto message = std::make_unique<CMessage>();
  message->envelope.subject = "inner";
  message->text = "whole";
  return std::make_unique<CAletter>(
      CFlags(0, "   "), CEnvelope(),
      multipart("MIXED", huge_body(5, "GIF", "GIF"), message_body(std::move(message))));
}

TEST(StoredForm, LaterObjectsShareTheirClassTags) {
  CVelmarDocData document;
  document.mailbox_name = "OUT";
  document.current = 1;
  document.letters.push_back(simple_letter());
  document.letters.push_back(second_letter());
  const std::string expected =
      bytes({2, 0}) + kSimpleLetter + kSecondLetter + counted("OUT") + bytes({1, 0});
  EXPECT_EQ(stored(document), expected);

  // Read back, it stores the same bytes again: nothing was lost or moved.
  std::string reason;
  std::unique_ptr<CVelmarDocData> back = read(expected, reason);
  ASSERT_TRUE(back) << reason;
  EXPECT_EQ(stored(*back), expected);
}

TEST(StoredForm, AnEmptyBlockIsItsSizeAlone) {
  CVelmarDocData document;
  document.letters.push_back(
      std::make_unique<CAletter>(CFlags(), CEnvelope(), huge_body(3, "OCTET-STREAM", "")));
  const std::string out = stored(document);
  const std::string tail =
      new_class("CHuge") + bytes({0, 0, 0, 0}) + counted("") + bytes({0xFF, 0xFF});
  ASSERT_GE(out.size(), tail.size());
  EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
}

TEST(StoredForm, AnEnvelopeWithoutListsEndsInFourZeroBytes) {
  CVelmarDocData document;
  document.letters.push_back(std::make_unique<CAletter>(
      CFlags(7, "N  "), CEnvelope("subject", "date", nullptr, nullptr, nullptr, nullptr, "<id>"),
      text_body("PLAIN", "")));
  const std::string envelope = counted("date") + counted("subject") + counted("<id>") +
                               bytes({0, 0, 0, 0}) + bytes({0, 0}) + counted("PLAIN");
  EXPECT_NE(stored(document).find(envelope), std::string::npos);
}

struct index_row {
  std::string name;
  int letters;
  std::int32_t current;
  std::string stored;
  std::int32_t read_back;
};

class CurrentIndex : public testing::TestWithParam<index_row> {};

TEST_P(CurrentIndex, IsStoredInSixteenBits) {
  const index_row& row = GetParam();
  CVelmarDocData document;
  for (int i = 0; i < row.letters; ++i)
    document.letters.push_back(std::make_unique<CAletter>());
  document.current = row.current;
  const std::string out = stored(document);
  EXPECT_EQ(out.substr(out.size() - 2), row.stored);
  std::string reason;
  std::unique_ptr<CVelmarDocData> back = read(out, reason);
  ASSERT_TRUE(back) << reason;
  EXPECT_EQ(back->current, row.read_back);
}

INSTANTIATE_TEST_SUITE_P(Rows, CurrentIndex,
                         testing::Values(index_row{"none", 0, -1, bytes({0xFF, 0xFF}), -1},
                                         index_row{"first", 3, 0, bytes({0, 0}), 0},
                                         index_row{"last", 3, 2, bytes({2, 0}), 2},
                                         // A list that lost letters after the index was set.
                                         index_row{"past_the_end", 3, 5, bytes({5, 0}), -1},
                                         // Past 0x7FFF the index reads without a sign.
                                         index_row{"high", 40000, 39999, bytes({0x3F, 0x9C}),
                                                   39999}),
                         row_name());

// Builds a mailbox using every class, every list and each length escape.
CVelmarDocData rich_mailbox() {
  CVelmarDocData document;
  document.mailbox_name = "我的信箱";
  auto to = std::make_unique<CAddress>();
  for (int i = 0; i < 70000; ++i)
    to->items.push_back(std::make_unique<CAddritem>("", "u" + std::to_string(i) + "@h"));
  CBody text = text_body("PLAIN", std::string(70000, '\xB0'), "CN-GB");
  text.id = "<Velmar.1.00.9612051153CST->li@x>";
  text.parameters->items.push_back(std::make_unique<CParaitem>("NAME", std::string(300, 'n')));
  std::string picture(300000, '\0');
  for (std::size_t i = 0; i < picture.size(); ++i)
    picture[i] = static_cast<char>(i * 17);
  auto inner = std::make_unique<CMessage>();
  inner->envelope = CEnvelope("inner", " 5-Dec-1996 11:53:20 +0800", one_address("?who", "Wang"),
                              nullptr, nullptr, nullptr, "");
  inner->body =
      multipart("ALTERNATIVE", text_body("PLAIN", "inner text"), huge_body(4, "WAV", "RIFF"));
  inner->text = "Subject: inner\r\n\r\n...";
  CBody empty_contents;
  empty_contents.type = 7;
  empty_contents.subtype = "X-NOTHING";
  document.letters.push_back(std::make_unique<CAletter>(
      CFlags(4000000000u, "NAD"),
      CEnvelope(std::string(255, 's'), " 5-Dec-1996 11:53:20 +0800", one_address("李", "li@x"),
                std::move(to), one_address("cc", "cc@x"), one_address("bcc", "bcc@x"),
                std::string(0xFFFE, 'm')),
      multipart("MIXED", std::move(text), huge_body(5, "BITMAP", picture),
                message_body(std::move(inner)), std::move(empty_contents),
                huge_body(3, "OCTET-STREAM", ""))));
  document.letters.push_back(simple_letter());
  document.current = 1;
  return document;
}

TEST(StoredForm, EveryClassReadsBackAndStoresTheSameBytesAgain) {
  const std::string first = stored(rich_mailbox());
  std::string reason;
  std::unique_ptr<CVelmarDocData> back = read(first, reason);
  ASSERT_TRUE(back) << reason;
  EXPECT_EQ(stored(*back), first);

  const CAletter& letter = *back->letters[0];
  EXPECT_EQ(back->mailbox_name, "我的信箱");
  EXPECT_EQ(letter.flags.size, 4000000000u);
  EXPECT_EQ(letter.envelope.to->items.size(), 70000u);
  EXPECT_EQ(letter.envelope.to->items[69999]->address, "u69999@h");
  EXPECT_EQ(letter.envelope.message_id.size(), 0xFFFEu);
  EXPECT_EQ(letter.envelope.bcc->items[0]->name, "bcc");
  const CPart& parts = *letter.body.part();
  ASSERT_EQ(parts.items.size(), 5u);
  EXPECT_EQ(parts.items[0]->body.text, std::string(70000, '\xB0'));
  EXPECT_EQ(parts.items[0]->body.parameters->items[1]->value, std::string(300, 'n'));
  EXPECT_EQ(parts.items[1]->body.huge()->size(), 300000u);
  EXPECT_EQ(parts.items[1]->body.huge()->bytes()[299999], static_cast<char>(299999 * 17));
  const CMessage& inner = *parts.items[2]->body.message();
  EXPECT_EQ(inner.envelope.from->items[0]->name, "?who");
  EXPECT_EQ(inner.body.part()->items[1]->body.huge()->bytes(), "RIFF");
  EXPECT_EQ(parts.items[3]->body.contents, nullptr);
  EXPECT_EQ(parts.items[4]->body.huge()->size(), 0u);
}

struct fault_row {
  std::string name;
  std::string input;
  std::string reason;
};

class DamagedContents : public testing::TestWithParam<fault_row> {};

TEST_P(DamagedContents, AreRefusedWithTheirReason) {
  std::string reason;
  EXPECT_EQ(read(GetParam().input, reason), nullptr);
  EXPECT_EQ(reason, GetParam().reason);
}

const std::string kEmptyLetter = counted("") + bytes({0, 0, 0, 0}) + counted("") + counted("") +
                                 counted("") + bytes({0, 0, 0, 0}) + bytes({0, 0}) + counted("") +
                                 counted("") + bytes({0}) + counted("");

// A mailbox of one empty letter, stored up to its body's contents, the body of TYPE.
std::string up_to_contents(int type) {
  return bytes({1, 0}) + new_class("CAletter") + counted("") + bytes({0, 0, 0, 0}) + counted("") +
         counted("") + counted("") + bytes({0, 0, 0, 0}) + bytes({type, 0}) + counted("") +
         counted("") + bytes({0});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DamagedContents,
    testing::Values(
        fault_row{"four_billion_letters_in_twenty_bytes",
                  bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}) + std::string(14, '\0'),
                  "a count of 4294967295 with only 14 bytes left"},
        fault_row{"empty", "", "the data ends 2 bytes early"},
        fault_row{"a_flags_object_in_the_letter_list",
                  bytes({1, 0}) + new_class("CFlags") + counted("N  ") + bytes({0, 0, 0, 0}),
                  "a CFlags where a letter must be"},
        fault_row{"no_letter_in_a_place_of_the_list",
                  bytes({1, 0, 0, 0}) + counted("") + bytes({0xFF, 0xFF}),
                  "an empty place where a letter must be"},
        fault_row{"a_letter_twice",
                  bytes({2, 0}) + new_class("CAletter") + kEmptyLetter + bytes({2, 0}) +
                      counted("") + bytes({0xFF, 0xFF}),
                  "a letter stored twice"},
        fault_row{"an_address_where_contents_must_be",
                  up_to_contents(3) + new_class("CAddritem") + counted("") + counted(""),
                  "a CAddritem where a body's contents must be"},
        fault_row{"a_block_longer_than_the_stream",
                  up_to_contents(5) + new_class("CHuge") + bytes({0, 0, 0, 0x40}) + "GIF89a",
                  "a block of 1073741824 bytes with only 6 bytes left"},
        fault_row{"a_block_class_of_another_schema",
                  up_to_contents(5) + new_class("CHuge", 1) + bytes({0, 0, 0, 0}),
                  "class CHuge with schema 1 instead of 0"},
        fault_row{"a_letter_class_of_another_name",
                  bytes({1, 0}) + new_class("CLetter") + kEmptyLetter,
                  "an unknown class \"CLetter\""},
        fault_row{"bytes_after_the_data", bytes({0, 0}) + counted("IN") + bytes({0xFF, 0xFF, 0}),
                  "1 bytes follow the mailbox's data"},
        fault_row{"cut_before_the_index", bytes({0, 0}) + counted("IN") + bytes({0xFF}),
                  "the data ends 1 bytes early"}),
    row_name());

}  // namespace
