// Program files and broker payloads on arbitrary bytes, read both as one
// pump's program and as a group program. No crash, no undefined behaviour;
// every input is either a program with no fault, which reads back unchanged
// from its own writing, or a fault with a message. A group that reads has
// parts that are programs with no fault, whose flows add up to the total.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

#include "group/group_program.h"
#include "program/program.h"

namespace {

void CheckProgram(std::string_view input) {
  const auto read = pump::program::ReadProgram(input);
  if (const auto* fault = std::get_if<pump::program::Fault>(&read)) {
    if (fault->message.empty()) std::abort();
    return;
  }
  const auto& program = std::get<pump::program::Program>(read);
  if (pump::program::FirstFault(program)) std::abort();
  const auto again = pump::program::ReadProgram(pump::program::WriteProgram(program));
  const auto* back = std::get_if<pump::program::Program>(&again);
  if (!back || back->steps != program.steps) std::abort();
}

void CheckGroup(std::string_view input) {
  const auto read = pump::group::ReadGroupProgram(input);
  if (const auto* fault = std::get_if<pump::program::Fault>(&read)) {
    if (fault->message.empty()) std::abort();
    return;
  }
  const auto& group = std::get<pump::group::GroupProgram>(read);
  const auto again = pump::group::ReadGroupProgram(pump::group::WriteGroupProgram(group));
  const auto* back = std::get_if<pump::group::GroupProgram>(&again);
  if (!back || *back != group) std::abort();
  for (std::size_t s = 0; s < group.steps.size(); ++s) {
    int total = 0;
    for (std::size_t pump = 0; pump < group.pumpIds.size(); ++pump) {
      const auto part = group.part(pump);
      if (pump::program::FirstFault(part)) std::abort();
      total += part.steps[s].flowStartMlMin;
    }
    if (total != group.steps[s].totalStartMlMin) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(bytes), size);
  CheckProgram(input);
  CheckGroup(input);
  return 0;
}
