// A group program: one program over two to four pumps that run together. Each
// step gives the total flow at its start and end and each pump's share of it
// in percent; each pump's part is an ordinary program, run on its own console.
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "program/program.h"

namespace pump::group {

inline constexpr std::size_t kFewestPumps = 2;
inline constexpr std::size_t kMostPumps = 4;

struct GroupStep {
  long seconds = 1;         // at least 1
  int totalStartMlMin = 0;  // whole ml/min, 0 to 200 per pump
  int totalEndMlMin = 0;
  std::vector<int> sharesStartPercent;  // one per pump, whole percent summing to 100
  std::vector<int> sharesEndPercent;
  int pressureLimitTenths = 0;  // every pump's limit, tenths of a MPa, 0 to 50

  bool operator==(const GroupStep&) const = default;
};

struct GroupProgram {
  std::string name;
  std::vector<std::string> pumpIds;  // 2 to 4, no two alike
  std::vector<GroupStep> steps;

  // Pump `index`'s part: the same steps with its own flows, named for the group.
  program::Program part(std::size_t index) const;
  bool operator==(const GroupProgram&) const = default;
};

// `total` ml/min split by whole-percent `shares` into whole ml/min that add
// up to the total exactly: each gets its share rounded down, and what is left
// goes one ml/min at a time to the largest remainders, the earlier pump first
// on a tie.
std::vector<int> SplitFlow(int totalMlMin, const std::vector<int>& sharesPercent);

// The first fault of a group program, or nothing when it may run; the step is
// 1-based, 0 for the group as a whole.
std::optional<program::Fault> FirstGroupFault(const GroupProgram& group);

// UTF-8 JSON of the shape
// {"version":1,"name":"…","pumps":["P01","P02"],"steps":[{"seconds":1200,
//  "total_start":10,"total_end":10,"shares_start":[95,5],"shares_end":[5,95],
//  "pressure_limit":3.0},…]}.
// Unknown keys are ignored; anything else is refused whole with its first fault.
std::variant<GroupProgram, program::Fault> ReadGroupProgram(std::string_view json);
std::string WriteGroupProgram(const GroupProgram& group);

// True for JSON that claims to be a group program (it has "pumps"), so a
// file can be told from a single pump's program before it is read.
bool LooksLikeGroupProgram(std::string_view json);

}  // namespace pump::group
