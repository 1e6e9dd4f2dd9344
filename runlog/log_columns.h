// The run log's CSV columns: written by the run log, read back by the trend.
#pragma once

#include <array>
#include <string_view>

namespace pump::runlog {

constexpr std::array<std::string_view, 8> kRunLogColumns{
    "time",        "elapsed_s",          "event", "pressure_mpa",
    "flow_ml_min", "pressure_limit_mpa", "pump",  "detail"};

constexpr std::string_view kRunLogHeader =
    "time,elapsed_s,event,pressure_mpa,flow_ml_min,pressure_limit_mpa,pump,detail";

}  // namespace pump::runlog
