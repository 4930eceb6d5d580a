#include "mail/cache.h"

#include <algorithm>

#include "mail/parameters.h"
#include "mail/stream.h"
#include "message/callbacks.h"

namespace {

void grow(mail_stream* stream, std::uint32_t msgno) {
  if (msgno <= stream->cache_size) return;
  stream->cache_size = msgno + 100;
  stream->cache.resize(stream->cache_size);
}

std::unique_ptr<mail_long_element>* slot(mail_stream* stream, std::uint32_t msgno) {
  if (msgno < 1 || msgno > stream->cache.size()) return nullptr;
  return &stream->cache[msgno - 1];
}

mail_long_element* make(mail_stream* stream, std::uint32_t msgno) {
  grow(stream, msgno);
  std::unique_ptr<mail_long_element>& place = *slot(stream, msgno);
  if (!place) {
    place = std::make_unique<mail_long_element>();
    place->msgno = msgno;
    place->lockcount = 1;
  }
  return place.get();
}

void free_slot(mail_stream* stream, std::uint32_t msgno) {
  std::unique_ptr<mail_long_element>* place = slot(stream, msgno);
  if (!place || !*place) return;
  if (--(*place)->lockcount == 0) {
    place->reset();
  } else {
    // Whoever raised the lock count holds the element from now on.
    (void)place->release();
  }
}

}  // namespace

mail_element* mm_cache(mail_stream* stream, std::uint32_t msgno, long op) {
  switch (op) {
    case CACHE_INIT:
      for (std::uint32_t i = stream->cache_size; i >= 1; --i)
        free_slot(stream, i);
      stream->cache.clear();
      stream->cache.shrink_to_fit();
      stream->cache_size = 0;
      stream->nmsgs = 0;
      return nullptr;
    case CACHE_SIZE:
      grow(stream, msgno);
      return nullptr;
    case CACHE_MAKE_LONG:
    case CACHE_MAKE:
      if (msgno < 1) return nullptr;
      return make(stream, msgno);
    case CACHE_LONG:
    case CACHE_ELT: {
      std::unique_ptr<mail_long_element>* place = slot(stream, msgno);
      return place ? place->get() : nullptr;
    }
    case CACHE_FREE:
      free_slot(stream, msgno);
      return nullptr;
    case CACHE_EXPUNGE: {
      std::uint32_t last = std::min<std::uint32_t>(stream->nmsgs, stream->cache_size);
      for (std::uint32_t k = msgno; k < last; ++k) {
        stream->cache[k - 1] = std::move(stream->cache[k]);
        if (stream->cache[k - 1]) stream->cache[k - 1]->msgno = k;
      }
      if (last >= 1 && last >= msgno) stream->cache[last - 1].reset();
      return nullptr;
    }
    default:
      mail_fatal("Bad mm_cache op");
  }
}

mail_element* mail_cache(mail_stream* stream, std::uint32_t msgno, long op) {
  auto manager =
      reinterpret_cast<mail_cache_manager>(mail_parameters(nullptr, GET_CACHE_MANAGER, nullptr));
  return manager(stream, msgno, op);
}

mail_element* mail_elt(mail_stream* stream, std::uint32_t msgno) {
  if (msgno < 1) mail_fatal("Bad msgno in mail_elt");
  mail_cache(stream, msgno, CACHE_SIZE);
  return mail_cache(stream, msgno, CACHE_MAKE);
}

mail_long_element* mail_lelt(mail_stream* stream, std::uint32_t msgno) {
  if (stream->short_cache) mail_fatal("Short cache in mail_lelt");
  mail_cache(stream, msgno, CACHE_SIZE);
  return static_cast<mail_long_element*>(mail_cache(stream, msgno, CACHE_MAKE_LONG));
}

void mail_free_cache(mail_stream* stream) {
  mail_cache(stream, 0, CACHE_INIT);
  stream->current_msgno = 0;
  stream->current_envelope.reset();
  stream->current_body.reset();
  stream->text.reset();
}

void mail_note_exists(mail_stream* stream, std::uint32_t count) {
  mail_cache(stream, count, CACHE_SIZE);
  if (!stream->silent) mail_callback().on_exists(stream, count);
  stream->nmsgs = count;
}

void mail_note_recent(mail_stream* stream, std::uint32_t count) {
  stream->recent = count;
}

void mail_note_expunged(mail_stream* stream, std::uint32_t msgno) {
  if (mail_element* element = mail_cache(stream, msgno, CACHE_ELT)) {
    element->msgno = 0;
    mail_cache(stream, msgno, CACHE_FREE);
  }
  mail_cache(stream, msgno, CACHE_EXPUNGE);
  stream->current_msgno = 0;
  if (stream->nmsgs) --stream->nmsgs;
  stream->current_envelope.reset();
  stream->current_body.reset();
  if (!stream->silent) mail_callback().on_expunged(stream, msgno);
}

void mail_note_searched(mail_stream* stream, std::uint32_t msgno) {
  mail_elt(stream, msgno)->searched = 1;
  mail_callback().on_searched(stream, msgno);
}

void mail_lock_stream(mail_stream* stream) {
  if (stream->lock) mail_fatal("Lock when already locked");
  stream->lock = true;
}

void mail_unlock_stream(mail_stream* stream) {
  if (!stream->lock) mail_fatal("Unlock when not locked");
  stream->lock = false;
}
