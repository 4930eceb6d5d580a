#include "message/records.h"

#include <gtest/gtest.h>

namespace {

TEST(Records, InitBodyDropsEverythingItHeldAndFreeNullsThePlace) {
  auto body = mail_new_body();
  body->type = TYPE_MULTIPART;
  body->encoding = ENCODING_BASE64;
  body->subtype = "MIXED";
  body->parameter_list = mail_new_body_parameter();
  body->contents.part = mail_new_body_part();
  body->contents.part->body.contents.text = "part text";
  body->lines = body->bytes = body->bytes_raw = 7;
  mail_init_body(*body);
  EXPECT_EQ(body->type, TYPE_TEXT);
  EXPECT_EQ(body->encoding, ENCODING_7BIT);
  EXPECT_FALSE(body->subtype || body->parameter_list || body->contents.part);
  EXPECT_EQ(body->lines + body->bytes + body->bytes_raw, 0u);

  body->type = TYPE_MESSAGE;
  body->contents.message.envelope = mail_new_envelope();
  body->contents.message.body = mail_new_body();
  mail_free_body(body);
  EXPECT_EQ(body, nullptr);
  auto envelope = mail_new_envelope();
  envelope->from = mail_new_address();
  envelope->from->next = mail_new_address();
  mail_free_envelope(envelope);
  EXPECT_EQ(envelope, nullptr);
  mail_free_envelope(envelope);  // a null place is ignored
}

// Hostile letters bring very long lists; freeing them must not recurse once
// per element (this would overflow the stack long before a million).
TEST(Records, VeryLongListsAreFreedWithoutDeepRecursion) {
  auto addresses = mail_new_address();
  mail_address* tail = addresses.get();
  auto parameters = mail_new_body_parameter();
  mail_parameter* parameter_tail = parameters.get();
  auto parts = mail_new_body_part();
  mail_body_part* part_tail = parts.get();
  for (int i = 0; i < 1000000; ++i) {
    tail = (tail->next = mail_new_address()).get();
    parameter_tail = (parameter_tail->next = mail_new_body_parameter()).get();
    part_tail = (part_tail->next = mail_new_body_part()).get();
  }
  mail_free_address(addresses);
  parameters.reset();
  parts.reset();
  EXPECT_EQ(addresses, nullptr);
}

}  // namespace
