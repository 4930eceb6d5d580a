#include "mail/cache.h"

#include <gtest/gtest.h>
#include "mail/parameters.h"
#include "mail/stream.h"
#include "tests/support/log_capture.h"

// A stream as mail_open leaves it before the driver runs; what the cache
// tells the application is recorded.
class Cache : public testing::Test {
 protected:
  Cache() { mail_cache(&stream_, 0, CACHE_INIT); }
  ~Cache() override { mail_free_cache(&stream_); }
  void note(const std::string& what, std::uint32_t n) {
    told_.push_back(what + " " + std::to_string(n));
  }
  mail_callbacks callbacks() {
    mail_callbacks table;
    table.on_exists = [this](mail_stream*, std::uint32_t n) { note("exists", n); };
    table.on_expunged = [this](mail_stream*, std::uint32_t n) { note("expunged", n); };
    table.on_searched = [this](mail_stream*, std::uint32_t n) { note("searched", n); };
    return table;
  }
  std::vector<std::string> told_;
  log_capture log_{callbacks()};
  mail_stream stream_;
};

TEST_F(Cache, FirstElementGrowsTheCacheBy100AndIsZeroed) {
  mail_element* element = mail_elt(&stream_, 1);
  EXPECT_EQ(stream_.cache_size, 101u);
  EXPECT_EQ(element->msgno, 1u);
  EXPECT_EQ(element->lockcount, 1u);
  EXPECT_EQ(element->day + element->month + element->year + element->seen + element->deleted +
                element->rfc822_size + element->data1 + element->data2 + element->user_flags,
            0u);
  EXPECT_EQ(mail_elt(&stream_, 1), element) << "the same element comes back";
  mail_elt(&stream_, 101);
  EXPECT_EQ(stream_.cache_size, 101u);
  mail_elt(&stream_, 102);
  EXPECT_EQ(stream_.cache_size, 202u);
}

TEST_F(Cache, ElementsAreMadeLazilyAndTheLongElementIsTheSameRecord) {
  mail_elt(&stream_, 5);
  EXPECT_EQ(mail_cache(&stream_, 4, CACHE_ELT), nullptr);
  EXPECT_NE(mail_cache(&stream_, 5, CACHE_ELT), nullptr);
  EXPECT_EQ(mail_cache(&stream_, 500, CACHE_ELT), nullptr) << "beyond the cache";
  EXPECT_EQ(static_cast<mail_element*>(mail_lelt(&stream_, 2)), mail_elt(&stream_, 2));
  stream_.short_cache = true;
  EXPECT_EQ(mail_elt(&stream_, 3)->msgno, 3u) << "short cache mode still gives elements";
}

TEST_F(Cache, InitEmptiesEverything) {
  mail_note_exists(&stream_, 3);
  mail_lelt(&stream_, 1)->envelope = mail_new_envelope();
  mail_elt(&stream_, 3);
  mail_cache(&stream_, 0, CACHE_INIT);
  EXPECT_EQ(stream_.cache_size, 0u);
  EXPECT_EQ(stream_.nmsgs, 0u);
  EXPECT_TRUE(stream_.cache.empty());
}

TEST_F(Cache, FreeCacheDropsTheCurrentMessageToo) {
  mail_note_exists(&stream_, 2);
  stream_.current_msgno = 2;
  stream_.current_envelope = mail_new_envelope();
  stream_.current_body = mail_new_body();
  stream_.text = "fetched";
  mail_free_cache(&stream_);
  EXPECT_EQ(stream_.current_msgno, 0u);
  EXPECT_FALSE(stream_.current_envelope || stream_.current_body || stream_.text);
  EXPECT_EQ(stream_.nmsgs, 0u);
}

TEST_F(Cache, ExistsGrowsTheCacheAndTellsTheApplicationUnlessSilent) {
  mail_note_exists(&stream_, 250);
  EXPECT_EQ(stream_.nmsgs, 250u);
  EXPECT_EQ(stream_.cache_size, 350u);
  stream_.silent = true;
  mail_note_exists(&stream_, 251);
  EXPECT_EQ(stream_.nmsgs, 251u);
  EXPECT_EQ(told_, std::vector<std::string>{"exists 250"});
  mail_note_recent(&stream_, 7);
  EXPECT_EQ(stream_.recent, 7u);
}

TEST_F(Cache, ExpungingMessage2Of4ClosesTheGap) {
  mail_note_exists(&stream_, 4);
  for (std::uint32_t i = 1; i <= 4; ++i)
    mail_elt(&stream_, i)->data1 = i * 10;
  stream_.current_msgno = 3;
  stream_.current_envelope = mail_new_envelope();
  mail_note_expunged(&stream_, 2);
  EXPECT_EQ(stream_.nmsgs, 3u);
  for (std::uint32_t i : {2u, 3u}) {
    EXPECT_EQ(mail_cache(&stream_, i, CACHE_ELT)->data1, (i + 1) * 10);
    EXPECT_EQ(mail_cache(&stream_, i, CACHE_ELT)->msgno, i);
  }
  EXPECT_EQ(mail_cache(&stream_, 4, CACHE_ELT), nullptr);
  EXPECT_EQ(stream_.current_msgno, 0u);
  EXPECT_EQ(stream_.current_envelope, nullptr);
  EXPECT_EQ(told_, (std::vector<std::string>{"exists 4", "expunged 2"}));
}

TEST_F(Cache, ExpungingAMessageNeverLookedAtKeepsTheOthersInStep) {
  mail_note_exists(&stream_, 3);
  mail_elt(&stream_, 3)->data1 = 33;
  stream_.silent = true;
  mail_note_expunged(&stream_, 1);
  EXPECT_EQ(mail_cache(&stream_, 1, CACHE_ELT), nullptr);
  EXPECT_EQ(mail_cache(&stream_, 2, CACHE_ELT)->data1, 33u);
  EXPECT_EQ(mail_cache(&stream_, 2, CACHE_ELT)->msgno, 2u);
  mail_note_expunged(&stream_, 2);
  mail_note_expunged(&stream_, 1);
  EXPECT_EQ(stream_.nmsgs, 0u);
}

TEST_F(Cache, SearchedMarksTheElementAndTellsTheApplication) {
  mail_note_exists(&stream_, 2);
  mail_note_searched(&stream_, 2);
  EXPECT_TRUE(mail_elt(&stream_, 2)->searched);
  EXPECT_FALSE(mail_elt(&stream_, 1)->searched);
  EXPECT_EQ(told_, (std::vector<std::string>{"exists 2", "searched 2"}));
}

TEST(CacheManager, AReplacedOneIsTheOneUsed) {
  static int calls;
  calls = 0;
  void* old = mail_parameters(nullptr, GET_CACHE_MANAGER, nullptr);
  mail_cache_manager counting = [](mail_stream* stream, std::uint32_t msgno, long op) {
    ++calls;
    return mm_cache(stream, msgno, op);
  };
  mail_parameters(nullptr, SET_CACHE_MANAGER, reinterpret_cast<void*>(counting));
  {
    mail_stream stream;
    mail_cache(&stream, 0, CACHE_INIT);
    mail_elt(&stream, 1);
    mail_free_cache(&stream);
  }
  mail_parameters(nullptr, SET_CACHE_MANAGER, old);
  EXPECT_GE(calls, 3);
}

using CacheDeathTest = Cache;

TEST_F(CacheDeathTest, BrokenInvariantsStopTheProgram) {
  EXPECT_DEATH(mail_elt(&stream_, 0), "Bad msgno in mail_elt");
  EXPECT_DEATH(mm_cache(&stream_, 1, 12), "Bad mm_cache op");
  stream_.short_cache = true;
  EXPECT_DEATH(mail_lelt(&stream_, 1), "Short cache in mail_lelt");
}

TEST(StreamLockDeathTest, TheLockIsAReentryGuard) {
  mail_stream stream;
  mail_lock_stream(&stream);
  EXPECT_TRUE(stream.lock);
  EXPECT_DEATH(mail_lock_stream(&stream), "Lock when already locked");
  mail_unlock_stream(&stream);
  EXPECT_FALSE(stream.lock);
  EXPECT_DEATH(mail_unlock_stream(&stream), "Unlock when not locked");
}
