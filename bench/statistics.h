// Order statistics of a benchmark's samples.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace pump::bench {

// The sample `share` of the way up the sorted samples (0.5: the median,
// 0.99: the p99), by nearest rank; 0 for no samples.
inline double Percentile(std::vector<double> values, double share) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const auto at = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
  return values[at];
}

}  // namespace pump::bench
