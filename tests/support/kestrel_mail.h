#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/support/run_program.h"

// kestrel-mail (the program the test target names in KESTREL_MAIL_PROGRAM)
// run to its end on the arguments and standard input given.
inline program_result kestrel_mail(const std::vector<std::string>& arguments,
                                   const std::string& input = "") {
  return run_program(KESTREL_MAIL_PROGRAM, arguments, input);
}

// Arguments written as a call, so that a table row keeps to one line.
template <typename... Texts>
std::vector<std::string> args(const Texts&... texts) {
  return {std::string(texts)...};
}

// A run of kestrel-mail and what it must give. A text given as a string
// must match whole; a matcher (testing::HasSubstr, json_with) says what
// else it must hold; a text left out is not looked at.
struct cli_row {
  std::string name;
  std::vector<std::string> arguments;
  int exit_code;
  testing::Matcher<const std::string&> out = testing::_;
  testing::Matcher<const std::string&> err = testing::_;
  std::string input = "";
};
inline void PrintTo(const cli_row& row, std::ostream* out) {
  *out << row.name;
}

// Runs each row in turn (a row may depend on the ones before it), with
// the extra arguments after its own.
inline void expect_runs(const std::vector<cli_row>& rows,
                        const std::vector<std::string>& extra = {}) {
  for (const cli_row& row : rows) {
    std::vector<std::string> arguments = row.arguments;
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    std::string line = row.name;
    for (const std::string& argument : arguments)
      line += " " + argument;
    SCOPED_TRACE(line);
    const program_result result = kestrel_mail(arguments, row.input);
    EXPECT_EQ(result.exit_code, row.exit_code) << result.err;
    EXPECT_THAT(result.out, row.out);
    EXPECT_THAT(result.err, row.err);
  }
}

// Whether every value of `want` is in `got`: objects may have more keys,
// arrays hold as many elements.
inline bool json_within(const nlohmann::json& want, const nlohmann::json& got) {
  if (want.is_object()) {
    if (!got.is_object()) return false;
    for (const auto& [key, value] : want.items())
      if (!got.contains(key) || !json_within(value, got[key])) return false;
    return true;
  }
  if (!want.is_array()) return want == got;
  if (!got.is_array() || got.size() != want.size()) return false;
  for (std::size_t i = 0; i < want.size(); ++i)
    if (!json_within(want[i], got[i])) return false;
  return true;
}

// A JSON text holding the values of the JSON text `want` (see json_within).
MATCHER_P(json_with, want, "is JSON holding " + std::string(want)) {
  const nlohmann::json got = nlohmann::json::parse(arg, nullptr, false);
  return !got.is_discarded() && json_within(nlohmann::json::parse(want), got);
}
