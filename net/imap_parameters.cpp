#include <cstdint>

#include "net/imap_driver.h"

namespace {

struct imap_settings {
  long max_login_trials = 3;
  long lookahead = 20;
  long port = 0;
  long prefetch = 1;
  long login_full_name = 0;
  long close_on_error = 0;
};

imap_settings& settings() {
  static imap_settings values;
  return values;
}

long* setting_for(long code) {
  imap_settings& s = settings();
  switch (code & ~1L) {
    case GET_MAXLOGINTRIALS:
      return &s.max_login_trials;
    case GET_LOOKAHEAD:
      return &s.lookahead;
    case GET_IMAPPORT:
      return &s.port;
    case GET_PREFETCH:
      return &s.prefetch;
    case GET_LOGINFULLNAME:
      return &s.login_full_name;
    case GET_CLOSEONERROR:
      return &s.close_on_error;
    default:
      return nullptr;
  }
}

}  // namespace

void* imap_parameters(long code, void* value) {
  long* setting = setting_for(code);
  if (!setting) return nullptr;
  if (code & 1) *setting = static_cast<long>(reinterpret_cast<std::intptr_t>(value));
  return reinterpret_cast<void*>(static_cast<std::intptr_t>(*setting));
}

long imap_parameter(long get_code) {
  long* setting = setting_for(get_code);
  return setting ? *setting : 0;
}
