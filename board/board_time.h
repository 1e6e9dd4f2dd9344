// The two clocks the board reads: a steady one for ages and timeouts, the
// wall clock for the times an operator reads in the alarm pane.
#pragma once

#include <chrono>

namespace pump::board {

using SteadyTime = std::chrono::steady_clock::time_point;
using WallTime = std::chrono::system_clock::time_point;

struct BoardTime {
  SteadyTime steady;
  WallTime wall;

  static BoardTime Now() {
    return {std::chrono::steady_clock::now(), std::chrono::system_clock::now()};
  }
};

}  // namespace pump::board
