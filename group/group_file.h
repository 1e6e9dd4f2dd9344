// A group program as text for a terminal: the group, then each pump's part.
#pragma once

#include <string>

#include "group/group_program.h"

namespace pump::group {

// For `pump-console --check-program`: the name and pumps, then each pump's
// part as a program of its own, with its time and volume.
std::string GroupSummary(const GroupProgram& group);

}  // namespace pump::group
