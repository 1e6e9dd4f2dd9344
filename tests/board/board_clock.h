// A scripted clock for the board's tests: both clocks advance together.
#pragma once

#include <chrono>
#include <string>

#include "board/board.h"

namespace pump::board::testing {

struct ScriptedClock {
  BoardTime now{SteadyTime{} + std::chrono::hours(1), WallTime{} + std::chrono::hours(500000)};

  BoardTime advance(std::chrono::milliseconds by) {
    now.steady += by;
    now.wall += by;
    return now;
  }
};

inline std::string Status(const std::string& id, const std::string& pump, double pressure,
                          double limit, const std::string& link = "answering",
                          bool remoteControl = false) {
  return R"({"pump_id":")" + id + R"(","online":true,"link":")" + link +
         R"(","port":"sim","pump":")" + pump + R"(","flow_ml_min":150,"pressure_limit_mpa":)" +
         std::to_string(limit) + R"(,"pressure_mpa":)" + std::to_string(pressure) +
         R"(,"run":{"state":"running","seconds_left":90},"time":"2026-12-07T14:03:22.517+08:00","remote_control":)" +
         (remoteControl ? "true" : "false") + "}";
}

}  // namespace pump::board::testing
