// One measured figure printed beside its target, and whether it meets it.
#pragma once

#include <cstdio>
#include <string>

namespace pump::bench {

enum class Bound { AtMost, AtLeast };

// Prints "name: value unit (target <= limit unit): met" and returns whether it is met.
inline bool Report(const std::string& name, double value, Bound bound, double limit,
                   const std::string& unit) {
  const bool met = bound == Bound::AtMost ? value <= limit : value >= limit;
  std::printf("%-44s %12.4g %-8s (target %s %g %s): %s\n", name.c_str(), value, unit.c_str(),
              bound == Bound::AtMost ? "<=" : ">=", limit, unit.c_str(), met ? "met" : "MISSED");
  std::fflush(stdout);
  return met;
}

}  // namespace pump::bench
