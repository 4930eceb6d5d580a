#pragma once

#include <gtest/gtest.h>

#include <string>

// A row of a converter table: input, the whole output, and how many
// characters became substitutes.
struct convert_row {
  std::string name;
  std::string input;
  std::string output;
  std::size_t substitutes;
};

// Runs a converter on the row; the converter must append to what is there.
template <typename Converter>
void expect_conversion(Converter convert, const convert_row& row) {
  std::string output = "kept:";
  EXPECT_EQ(convert(row.input, output), row.substitutes);
  EXPECT_EQ(output, "kept:" + row.output);
}
