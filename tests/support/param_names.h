// Names value-parameterised test rows by their `name` member, both in the
// test id and where GoogleTest prints the parameter.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace pump::testing {

struct RowName {
  template <class Row>
  std::string operator()(const ::testing::TestParamInfo<Row>& row) const {
    return row.param.name;
  }
};

// Use inside a row struct: friend-declares PrintTo so only the name is shown.
#define PUMP_PRINT_ROW_NAME(Row) \
  friend void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

}  // namespace pump::testing
