// Payloads of run_program at the size limits, for tests of parsing and of
// what a broker carries.
#pragma once

#include <string>

#include "program/program.h"

namespace pump::remote::testing {

// A program of the most steps with request id "long", as a person or a
// script lays it out: a line a field, four spaces an indent, CR LF line ends.
inline std::string LongestLaidOutProgram() {
  std::string text =
      "{\r\n    \"request_id\": \"long\",\r\n    \"program\": {\r\n"
      "        \"version\": 1,\r\n        \"name\": \"999 steps\",\r\n"
      "        \"steps\": [\r\n";
  for (int i = 0; i < program::kMaxSteps; ++i) {
    text += std::string(i ? ",\r\n" : "") +
            "            {\r\n                \"seconds\": 360,\r\n"
            "                \"flow_start\": 200,\r\n                \"flow_end\": 200,\r\n"
            "                \"pressure_limit\": 5.0\r\n            }";
  }
  return text + "\r\n        ]\r\n    }\r\n}\r\n";
}

}  // namespace pump::remote::testing
