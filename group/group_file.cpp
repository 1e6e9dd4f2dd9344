#include "group/group_file.h"

#include "program/program_file.h"

namespace pump::group {

std::string GroupSummary(const GroupProgram& group) {
  std::string text = "group program: " + group.name + "\npumps:";
  for (const std::string& id : group.pumpIds) text += " " + id;
  text += "\n";
  for (std::size_t i = 0; i < group.pumpIds.size(); ++i) {
    text += "\npart of " + group.pumpIds[i] + ":\n" + program::ProgramSummary(group.part(i));
  }
  return text;
}

}  // namespace pump::group
