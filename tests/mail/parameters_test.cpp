#include "mail/parameters.h"

#include <gtest/gtest.h>

#include "platform/environment.h"
#include "tests/mail/test_driver.h"

std::string text_of(void* value) {
  return value ? static_cast<const char*>(value) : "(null)";
}

std::vector<std::string> driver_names() {
  std::vector<std::string> names;
  for (auto* driver = static_cast<mail_driver*>(mail_parameters(nullptr, GET_DRIVERS, nullptr));
       driver; driver = driver->next) {
    names.push_back(driver->name);
  }
  return names;
}

class Parameters : public testing::Test {
 protected:
  void SetUp() override { link_memory_drivers(); }
};

TEST_F(Parameters, LinkingAppendsAndRelinkingCutsAfterTheDriver) {
  EXPECT_EQ(driver_names(), (std::vector<std::string>{"memory", "dummy"}));
  mail_link_driver(&memory_driver);
  EXPECT_EQ(driver_names(), (std::vector<std::string>{"memory"}));
  EXPECT_EQ(memory_driver.next, nullptr);
  link_memory_drivers();
  EXPECT_EQ(driver_names(), (std::vector<std::string>{"memory", "dummy"}));
}

// Without a stream every driver is asked and the last answer wins; a stream
// asks only its own driver.
TEST_F(Parameters, OtherCodesGoToTheDrivers) {
  EXPECT_EQ(text_of(mail_parameters(nullptr, kNameParameter, nullptr)), "dummy");
  EXPECT_EQ(mail_parameters(nullptr, 12345, nullptr), nullptr);
  memory_mailboxes()["mem:a"];
  mail_stream* stream = mail_open(nullptr, "mem:a", 0);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(text_of(mail_parameters(stream, kNameParameter, nullptr)), "memory");
  mail_close(stream);
}

TEST_F(Parameters, TheEnvironmentAnswersAfterTheDriversAndTheTransportLast) {
  char home[] = "C:\\HOME\\WANG";
  EXPECT_EQ(text_of(mail_parameters(nullptr, SET_HOME_DIR, home)), "C:\\HOME\\WANG");
  EXPECT_EQ(text_of(mail_parameters(nullptr, GET_HOME_DIR, nullptr)), "C:\\HOME\\WANG");
  static char transport_answer[] = "transport";
  mail_link_transport_parameters([](long code, void*) -> void* {
    return code == GET_HOME_DIR || code == 302 ? transport_answer : nullptr;
  });
  EXPECT_EQ(text_of(mail_parameters(nullptr, GET_HOME_DIR, nullptr)), "transport");
  EXPECT_EQ(text_of(mail_parameters(nullptr, 302, nullptr)), "transport");
  EXPECT_EQ(text_of(mail_parameters(nullptr, kNameParameter, nullptr)), "dummy");
  mail_link_transport_parameters(nullptr);
}

TEST(ParametersDeathTest, TheDriverListCannotBeReplaced) {
  EXPECT_DEATH(mail_parameters(nullptr, SET_DRIVERS, nullptr), "SET_DRIVERS not permitted");
}
