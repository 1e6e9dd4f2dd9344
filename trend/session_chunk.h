// How a session stores its rows: in chunks, column by column. Shared by the
// session's source files only.
#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "trend/session.h"

namespace pump::trend {

constexpr std::size_t kChunkRows = std::size_t{1} << 16;
constexpr std::int32_t kFarWall = std::numeric_limits<std::int32_t>::min();

// A row's flags.
constexpr std::uint8_t kRunning = 1;
constexpr std::uint8_t kLowest = 2;   // a folded reading: the lowest of its stretch
constexpr std::uint8_t kHighest = 4;  // ... the highest

// Column by column, so that drawing reads only times and pressures. The wall
// time is kept as its distance from the axis time, which is nearly always
// small; a chunk never moves once filled, so growth costs no copy.
struct Session::Chunk {
  std::vector<std::uint32_t> elapsedMs;
  std::vector<float> pressure;
  std::vector<std::int32_t> wallSkewMs;
  std::vector<std::uint32_t> detail;
  std::vector<std::uint8_t> event;
  std::vector<std::uint8_t> flags;  // kRunning, and what a folded reading stands for
  std::vector<GroupExtremes> groups;
  int level = 0;  // how many times its rows have been folded

  void noteExtremes(float value, bool reading) {
    const std::size_t at = elapsedMs.size() - 1;
    if ((at & (kGroupRows - 1)) == 0) groups.emplace_back();
    if (!reading) return;
    GroupExtremes& group = groups.back();
    const auto row = static_cast<std::uint32_t>(at);
    if (!group.any || value < group.low) group.low = value, group.lowAt = row;
    if (!group.any || value > group.high) group.high = value, group.highAt = row;
    group.any = true;
  }

  std::size_t size() const { return elapsedMs.size(); }

  std::size_t bytes() const {
    return elapsedMs.capacity() * sizeof(std::uint32_t) + pressure.capacity() * sizeof(float) +
           wallSkewMs.capacity() * sizeof(std::int32_t) +
           detail.capacity() * sizeof(std::uint32_t) + event.capacity() + flags.capacity() +
           groups.capacity() * sizeof(GroupExtremes) + sizeof(Chunk);
  }

  void reserve(std::size_t rows) {
    elapsedMs.reserve(rows);
    pressure.reserve(rows);
    wallSkewMs.reserve(rows);
    detail.reserve(rows);
    event.reserve(rows);
    flags.reserve(rows);
    groups.reserve((rows + kGroupRows - 1) / kGroupRows);
  }

  void shrink() {
    elapsedMs.shrink_to_fit();
    pressure.shrink_to_fit();
    wallSkewMs.shrink_to_fit();
    detail.shrink_to_fit();
    event.shrink_to_fit();
    flags.shrink_to_fit();
    groups.shrink_to_fit();
  }
};

}  // namespace pump::trend
