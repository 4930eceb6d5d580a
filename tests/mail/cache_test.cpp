#include "mail/cache.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <type_traits>

#include "mail/parameters.h"
#include "mail/stream.h"
#include "tests/support/log_capture.h"
#include "tests/support/table.h"

namespace {

// A stream as mail_open leaves it before the driver runs.
struct fresh_stream {
  fresh_stream() { mail_cache(&stream, 0, CACHE_INIT); }
  ~fresh_stream() { mail_free_cache(&stream); }
  mail_stream stream;
};

TEST(Cache, FirstElementGrowsTheCacheBy100AndIsZeroed) {
  fresh_stream s;
  mail_element* element = mail_elt(&s.stream, 1);
  EXPECT_EQ(s.stream.cache_size, 101u);
  EXPECT_EQ(element->msgno, 1u);
  EXPECT_EQ(element->lockcount, 1u);
  EXPECT_EQ(element->day + element->month + element->year + element->seen + element->deleted +
                element->rfc822_size + element->data1 + element->data2 + element->user_flags,
            0u);
  EXPECT_EQ(mail_elt(&s.stream, 1), element) << "the same element comes back";
  mail_elt(&s.stream, 101);
  EXPECT_EQ(s.stream.cache_size, 101u);
  mail_elt(&s.stream, 102);
  EXPECT_EQ(s.stream.cache_size, 202u);
}

TEST(Cache, ElementsAreMadeLazily) {
  fresh_stream s;
  mail_elt(&s.stream, 5);
  EXPECT_EQ(mail_cache(&s.stream, 4, CACHE_ELT), nullptr);
  EXPECT_NE(mail_cache(&s.stream, 5, CACHE_ELT), nullptr);
  EXPECT_EQ(mail_cache(&s.stream, 500, CACHE_ELT), nullptr) << "beyond the cache";
}

TEST(Cache, LongElementsCarryEnvelopeAndBody) {
  fresh_stream s;
  mail_long_element* element = mail_lelt(&s.stream, 2);
  EXPECT_EQ(static_cast<mail_element*>(element), mail_elt(&s.stream, 2));
  element->envelope = mail_new_envelope();
  element->body = mail_new_body();
  EXPECT_EQ(mail_lelt(&s.stream, 2)->envelope.get(), element->envelope.get());
}

TEST(Cache, ShortCacheModeStillGivesElements) {
  fresh_stream s;
  s.stream.short_cache = true;
  mail_element* element = mail_elt(&s.stream, 3);
  EXPECT_EQ(element->msgno, 3u);
}

TEST(Cache, InitEmptiesEverything) {
  fresh_stream s;
  mail_note_exists(&s.stream, 3);
  mail_lelt(&s.stream, 1)->envelope = mail_new_envelope();
  mail_elt(&s.stream, 3);
  mail_cache(&s.stream, 0, CACHE_INIT);
  EXPECT_EQ(s.stream.cache_size, 0u);
  EXPECT_EQ(s.stream.nmsgs, 0u);
  EXPECT_TRUE(s.stream.cache.empty());
}

TEST(Cache, FreeCacheDropsTheCurrentMessageToo) {
  fresh_stream s;
  mail_note_exists(&s.stream, 2);
  s.stream.current_msgno = 2;
  s.stream.current_envelope = mail_new_envelope();
  s.stream.current_body = mail_new_body();
  s.stream.text = "fetched";
  mail_free_cache(&s.stream);
  EXPECT_EQ(s.stream.current_msgno, 0u);
  EXPECT_FALSE(s.stream.current_envelope || s.stream.current_body || s.stream.text);
  EXPECT_EQ(s.stream.nmsgs, 0u);
}

TEST(Cache, ExistsGrowsTheCacheAndTellsTheApplicationUnlessSilent) {
  std::vector<std::uint32_t> told;
  mail_callbacks callbacks;
  callbacks.on_exists = [&](mail_stream*, std::uint32_t count) { told.push_back(count); };
  log_capture log(std::move(callbacks));
  fresh_stream s;
  mail_note_exists(&s.stream, 250);
  EXPECT_EQ(s.stream.nmsgs, 250u);
  EXPECT_EQ(s.stream.cache_size, 350u);
  s.stream.silent = true;
  mail_note_exists(&s.stream, 251);
  EXPECT_EQ(s.stream.nmsgs, 251u);
  EXPECT_EQ(told, std::vector<std::uint32_t>{250});
  mail_note_recent(&s.stream, 7);
  EXPECT_EQ(s.stream.recent, 7u);
}

TEST(Cache, ExpungingMessage2Of4ClosesTheGap) {
  std::vector<std::uint32_t> expunged;
  mail_callbacks callbacks;
  callbacks.on_expunged = [&](mail_stream*, std::uint32_t msgno) { expunged.push_back(msgno); };
  log_capture log(std::move(callbacks));
  fresh_stream s;
  mail_note_exists(&s.stream, 4);
  for (std::uint32_t i = 1; i <= 4; ++i)
    mail_elt(&s.stream, i)->data1 = i * 10;
  s.stream.current_msgno = 3;
  s.stream.current_envelope = mail_new_envelope();
  mail_note_expunged(&s.stream, 2);
  EXPECT_EQ(s.stream.nmsgs, 3u);
  EXPECT_EQ(mail_cache(&s.stream, 2, CACHE_ELT)->data1, 30u);
  EXPECT_EQ(mail_cache(&s.stream, 2, CACHE_ELT)->msgno, 2u);
  EXPECT_EQ(mail_cache(&s.stream, 3, CACHE_ELT)->data1, 40u);
  EXPECT_EQ(mail_cache(&s.stream, 3, CACHE_ELT)->msgno, 3u);
  EXPECT_EQ(mail_cache(&s.stream, 4, CACHE_ELT), nullptr);
  EXPECT_EQ(s.stream.current_msgno, 0u);
  EXPECT_EQ(s.stream.current_envelope, nullptr);
  EXPECT_EQ(expunged, std::vector<std::uint32_t>{2});
}

TEST(Cache, ExpungingAMessageNeverLookedAtKeepsTheOthersInStep) {
  fresh_stream s;
  mail_note_exists(&s.stream, 3);
  mail_elt(&s.stream, 3)->data1 = 33;
  s.stream.silent = true;
  mail_note_expunged(&s.stream, 1);
  EXPECT_EQ(mail_cache(&s.stream, 1, CACHE_ELT), nullptr);
  EXPECT_EQ(mail_cache(&s.stream, 2, CACHE_ELT)->data1, 33u);
  EXPECT_EQ(mail_cache(&s.stream, 2, CACHE_ELT)->msgno, 2u);
  mail_note_expunged(&s.stream, 2);
  mail_note_expunged(&s.stream, 1);
  EXPECT_EQ(s.stream.nmsgs, 0u);
}

TEST(Cache, SearchedMarksTheElementAndTellsTheApplication) {
  std::vector<std::uint32_t> found;
  mail_callbacks callbacks;
  callbacks.on_searched = [&](mail_stream*, std::uint32_t msgno) { found.push_back(msgno); };
  log_capture log(std::move(callbacks));
  fresh_stream s;
  mail_note_exists(&s.stream, 2);
  mail_note_searched(&s.stream, 2);
  EXPECT_TRUE(mail_elt(&s.stream, 2)->searched);
  EXPECT_FALSE(mail_elt(&s.stream, 1)->searched);
  EXPECT_EQ(found, std::vector<std::uint32_t>{2});
}

TEST(Cache, AReplacedCacheManagerIsTheOneUsed) {
  static int calls;
  calls = 0;
  void* old = mail_parameters(nullptr, GET_CACHE_MANAGER, nullptr);
  mail_cache_manager counting = [](mail_stream* stream, std::uint32_t msgno, long op) {
    ++calls;
    return mm_cache(stream, msgno, op);
  };
  mail_parameters(nullptr, SET_CACHE_MANAGER, reinterpret_cast<void*>(counting));
  {
    fresh_stream s;
    mail_elt(&s.stream, 1);
  }
  mail_parameters(nullptr, SET_CACHE_MANAGER, old);
  EXPECT_GE(calls, 3);
}

// The packed words keep their published bit ranges.
struct bit_row {
  std::string name;
  void (*set)(mail_element&);
  int word;  // 1: time and flags, 2: state and date
  std::uint32_t bits;
};

class ElementBits : public testing::TestWithParam<bit_row> {};

TEST_P(ElementBits, FieldsSitAtTheirBitRanges) {
  static_assert(std::is_standard_layout_v<mail_element>);
  const bit_row& row = GetParam();
  mail_element element;
  row.set(element);
  std::uint32_t words[3];
  std::memcpy(words, &element, sizeof words);
  EXPECT_EQ(words[row.word], row.bits);
  EXPECT_EQ(words[3 - row.word], 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ElementBits,
    testing::Values(
        bit_row{"hours", [](mail_element& e) { e.hours = 31; }, 1, 0x1Fu},
        bit_row{"minutes", [](mail_element& e) { e.minutes = 63; }, 1, 0x3Fu << 5},
        bit_row{"seconds", [](mail_element& e) { e.seconds = 63; }, 1, 0x3Fu << 11},
        bit_row{"zone_west", [](mail_element& e) { e.zoccident = 1; }, 1, 1u << 17},
        bit_row{"zone_hours", [](mail_element& e) { e.zhours = 15; }, 1, 0xFu << 18},
        bit_row{"zone_minutes", [](mail_element& e) { e.zminutes = 63; }, 1, 0x3Fu << 22},
        bit_row{"seen", [](mail_element& e) { e.seen = 1; }, 1, 1u << 28},
        bit_row{"deleted", [](mail_element& e) { e.deleted = 1; }, 1, 1u << 29},
        bit_row{"flagged", [](mail_element& e) { e.flagged = 1; }, 1, 1u << 30},
        bit_row{"answered", [](mail_element& e) { e.answered = 1; }, 1, 1u << 31},
        bit_row{"parsed", [](mail_element& e) { e.parsed = 1; }, 2, 1u << 1},
        bit_row{"recent", [](mail_element& e) { e.recent = 1; }, 2, 1u << 2},
        bit_row{"searched", [](mail_element& e) { e.searched = 1; }, 2, 1u << 3},
        bit_row{"sequence", [](mail_element& e) { e.sequence = 1; }, 2, 1u << 4},
        bit_row{"lock_count", [](mail_element& e) { e.lockcount = 255; }, 2, 0xFFu << 8},
        bit_row{"day", [](mail_element& e) { e.day = 31; }, 2, 0x1Fu << 16},
        bit_row{"month", [](mail_element& e) { e.month = 15; }, 2, 0xFu << 21},
        bit_row{"year_2096", [](mail_element& e) { e.year = 2096 - 1969; }, 2, 127u << 25}),
    row_name());

using CacheDeathTest = testing::Test;

TEST_F(CacheDeathTest, BrokenInvariantsStopTheProgram) {
  fresh_stream s;
  EXPECT_DEATH(mail_elt(&s.stream, 0), "Bad msgno in mail_elt");
  EXPECT_DEATH(mm_cache(&s.stream, 1, 12), "Bad mm_cache op");
  s.stream.short_cache = true;
  EXPECT_DEATH(mail_lelt(&s.stream, 1), "Short cache in mail_lelt");
}

TEST_F(CacheDeathTest, TheLockIsAReentryGuard) {
  mail_stream stream;
  mail_lock_stream(&stream);
  EXPECT_TRUE(stream.lock);
  EXPECT_DEATH(mail_lock_stream(&stream), "Lock when already locked");
  mail_unlock_stream(&stream);
  EXPECT_FALSE(stream.lock);
  EXPECT_DEATH(mail_unlock_stream(&stream), "Unlock when not locked");
}

}  // namespace
