#pragma once

#include <cstdint>

#include "mail/element.h"

struct mail_stream;

// Operations of a cache manager.
enum : long {
  CACHE_INIT = 10,       // empty the cache
  CACHE_SIZE = 11,       // make room for msgno
  CACHE_MAKE_LONG = 20,  // make the long element if missing; return it
  CACHE_LONG = 21,       // the long element, or null
  CACHE_MAKE = 30,       // make the element if missing; return it
  CACHE_ELT = 31,        // the element, or null
  CACHE_FREE = 40,       // free msgno's slot
  CACHE_EXPUNGE = 45,    // close the gap of expunged msgno
};

using mail_cache_manager = mail_element* (*)(mail_stream* stream, std::uint32_t msgno, long op);

// The default cache manager.
mail_element* mm_cache(mail_stream* stream, std::uint32_t msgno, long op);

// Calls the cache manager in force (GET_CACHE_MANAGER).
mail_element* mail_cache(mail_stream* stream, std::uint32_t msgno, long op);

// The element of msgno, made when missing (msgno 0 is fatal).
mail_element* mail_elt(mail_stream* stream, std::uint32_t msgno);
// The long element of msgno (fatal in short-cache mode).
mail_long_element* mail_lelt(mail_stream* stream, std::uint32_t msgno);

// Empties the cache and frees the current envelope, body and text.
void mail_free_cache(mail_stream* stream);

// What drivers report: the message count, the recent count, a removed
// message and a message that matched a search.
void mail_note_exists(mail_stream* stream, std::uint32_t count);
void mail_note_recent(mail_stream* stream, std::uint32_t count);
void mail_note_expunged(mail_stream* stream, std::uint32_t msgno);
void mail_note_searched(mail_stream* stream, std::uint32_t msgno);
