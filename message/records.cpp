#include "message/records.h"

namespace {

// Unlinks a list one element at a time, so that a list of a million addresses
// does not recurse a million destructors deep.
template <typename Record>
void free_rest(std::unique_ptr<Record>& next) {
  std::unique_ptr<Record> rest = std::move(next);
  while (rest)
    rest = std::move(rest->next);
}

}  // namespace

mail_address::~mail_address() {
  free_rest(next);
}
mail_parameter::~mail_parameter() {
  free_rest(next);
}
mail_body_part::~mail_body_part() {
  free_rest(next);
}

mail_body::mail_body() = default;
mail_body::mail_body(mail_body&&) noexcept = default;
mail_body& mail_body::operator=(mail_body&&) noexcept = default;
mail_body::~mail_body() = default;

std::unique_ptr<mail_envelope> mail_new_envelope() {
  return std::make_unique<mail_envelope>();
}
std::unique_ptr<mail_address> mail_new_address() {
  return std::make_unique<mail_address>();
}
std::unique_ptr<mail_body> mail_new_body() {
  return std::make_unique<mail_body>();
}
void mail_init_body(mail_body& body) {
  body = mail_body();
}
std::unique_ptr<mail_parameter> mail_new_body_parameter() {
  return std::make_unique<mail_parameter>();
}
std::unique_ptr<mail_body_part> mail_new_body_part() {
  return std::make_unique<mail_body_part>();
}

void mail_free_envelope(std::unique_ptr<mail_envelope>& place) {
  place.reset();
}
void mail_free_address(std::unique_ptr<mail_address>& place) {
  place.reset();
}
void mail_free_body(std::unique_ptr<mail_body>& place) {
  place.reset();
}
