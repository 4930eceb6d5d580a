#include <gtest/gtest.h>
#include <stdlib.h>

#include "tests/support/run_program.h"

namespace {

// The program itself, started without a display it can use.
class Program : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
      const char* value = getenv(name);
      saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
      unsetenv(name);
    }
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_) {
      if (value) setenv(name.c_str(), value->c_str(), 1);
    }
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(Program, WithoutADisplayItSaysSoPlainly) {
  program_result result = run_program(KESTREL_PROGRAM, {});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.err.find("there is no display"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("xvfb-run"), std::string::npos) << result.err;
}

TEST_F(Program, ADisplayThatDoesNotAnswerIsNamed) {
  setenv("DISPLAY", ":97", 1);
  program_result result = run_program(KESTREL_PROGRAM, {});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.err.find("cannot open the display :97"), std::string::npos) << result.err;
}

}  // namespace
