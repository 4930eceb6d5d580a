#include <gtest/gtest.h>

#include "tests/support/run_program.h"

namespace {

// The program itself, started without a display it can use.
program_result kestrel(const std::vector<std::string>& environment) {
  std::vector<std::string> arguments{"-u", "DISPLAY",        "-u", "WAYLAND_DISPLAY",
                                     "-u", "QT_QPA_PLATFORM"};
  arguments.insert(arguments.end(), environment.begin(), environment.end());
  arguments.push_back(KESTREL_PROGRAM);
  return run_program("/usr/bin/env", arguments);
}

TEST(Program, WithoutADisplayItSaysSoPlainly) {
  program_result result = kestrel({});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.err.find("there is no display"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("xvfb-run"), std::string::npos) << result.err;
}

TEST(Program, ADisplayThatDoesNotAnswerIsNamed) {
  program_result result = kestrel({"DISPLAY=:97"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.err.find("cannot open the display :97"), std::string::npos) << result.err;
}

}  // namespace
