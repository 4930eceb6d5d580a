// The format drivers leave the operations on mailbox names and the
// subscription list to the dummy driver.

#include "mail/local_drivers.h"
#include "mail/local_format.h"

void local_list(mail_stream* stream, std::string_view pattern) {
  if (stream) dummy_driver.list(stream, pattern);
}

void local_list_all(mail_stream* stream, std::string_view pattern) {
  if (stream) dummy_driver.list_all(stream, pattern);
}

void local_list_nothing(mail_stream*, std::string_view) {}

bool local_subscribe(mail_stream* stream, std::string_view mailbox) {
  return dummy_driver.subscribe(stream, mailbox);
}

bool local_unsubscribe(mail_stream* stream, std::string_view mailbox) {
  return dummy_driver.unsubscribe(stream, mailbox);
}

bool local_bboard_refused(mail_stream*, std::string_view) {
  return false;
}

bool local_create(mail_stream* stream, std::string_view mailbox) {
  return dummy_driver.create(stream, mailbox);
}

bool local_delete(mail_stream* stream, std::string_view mailbox) {
  return dummy_driver.delete_(stream, mailbox);
}

bool local_rename(mail_stream* stream, std::string_view old_name, std::string_view new_name) {
  return dummy_driver.rename(stream, old_name, new_name);
}

void local_fetch_nothing(mail_stream*, std::string_view) {}
