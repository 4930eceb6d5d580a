#pragma once

#include <gtest/gtest.h>

#include <string>

// Table-driven tests: every row has a `name`, which becomes the test's name.
struct row_name {
  template <typename Row>
  std::string operator()(const testing::TestParamInfo<Row>& info) const {
    return info.param.name;
  }
};
