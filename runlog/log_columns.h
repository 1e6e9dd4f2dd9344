// The run log's CSV columns: written by the run log, read back by the trend.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace pump::runlog {

constexpr std::array<std::string_view, 8> kRunLogColumns{
    "time",        "elapsed_s",          "event", "pressure_mpa",
    "flow_ml_min", "pressure_limit_mpa", "pump",  "detail"};

constexpr std::string_view kRunLogHeader =
    "time,elapsed_s,event,pressure_mpa,flow_ml_min,pressure_limit_mpa,pump,detail";

// A console polling every 1.5 s writes about 6 MB of log a day: 4 GiB is
// about two years of it. The trend (on a thread of its own) and the report
// read a log in blocks and refuse a line longer than any log writes; the
// limit only ends a read that would never end.
constexpr std::uint64_t kLargestRunLogBytes = std::uint64_t{4} << 30;

}  // namespace pump::runlog
