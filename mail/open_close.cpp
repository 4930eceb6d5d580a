#include "mail/open_close.h"

#include <memory>
#include <string>

#include "mail/cache.h"
#include "mail/driver.h"
#include "mail/parameters.h"
#include "mail/stream.h"
#include "message/callbacks.h"

namespace {

const char* failure_reason(std::string_view name) {
  if (name.starts_with("{") || name.starts_with("*{")) return "invalid remote specification";
  if (name.starts_with("*")) return "no such bboard";
  return "no such mailbox";
}

void set_state(mail_stream* stream, long options) {
  stream->lock = false;
  stream->debug = options & OPEN_DEBUG;
  stream->readonly = options & OPEN_READONLY;
  stream->anonymous = options & OPEN_ANONYMOUS;
  stream->short_cache = options & OPEN_SHORTCACHE;
  stream->silent = options & OPEN_SILENT;
  stream->halfopen = options & OPEN_HALFOPEN;
}

}  // namespace

mail_driver* mail_find_driver(mail_stream* stream, std::string_view name, const char* purpose) {
  auto* driver = static_cast<mail_driver*>(mail_parameters(nullptr, GET_DRIVERS, nullptr));
  while (driver && !driver->valid(name))
    driver = driver->next;
  if (driver && stream && driver != stream->driver) {
    driver = std::string_view(driver->name) == "dummy" ? stream->driver : nullptr;
  }
  if (!driver && purpose) {
    std::string shown(name);
    mail_log(LOG_ERROR, "Can't %s %s: %s", purpose, shown.c_str(), failure_reason(name));
  }
  return driver;
}

mail_stream* mail_open(mail_stream* stream, std::string_view name, long options) {
  mail_driver* driver =
      mail_find_driver(nullptr, name, (options & OPEN_SILENT) ? nullptr : "open mailbox");
  if (!driver) return stream;
  if (stream) {
    if (stream->driver != driver) {
      if (stream->driver) stream->driver->close(stream);
      stream->driver = driver;
      stream->local.reset();
      mail_free_cache(stream);
    }
    stream->mailbox = std::string(name);
  } else {
    if (options & OPEN_PROTOTYPE) return driver->open(nullptr);
    auto fresh = std::make_unique<mail_stream>();
    fresh->driver = driver;
    fresh->mailbox = std::string(name);
    mail_cache(fresh.get(), 0, CACHE_INIT);
    stream = fresh.release();  // owned by the caller until mail_close
  }
  set_state(stream, options);
  if (driver->open(stream)) return stream;
  return mail_close(stream);
}

mail_stream* mail_close(mail_stream* stream) {
  if (!stream) return nullptr;
  if (stream->driver) stream->driver->close(stream);
  stream->mailbox.reset();
  ++stream->close_sequence;
  stream->flag_names.reset();
  for (mail_text& name : stream->user_flags)
    name.reset();
  mail_free_cache(stream);
  if (stream->use_count == 0) std::unique_ptr<mail_stream> owned(stream);
  return nullptr;
}
