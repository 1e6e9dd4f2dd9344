#include "app/program_on_command_line.h"

#include <cstdio>
#include <variant>

#include "group/group_file.h"
#include "program/program_file.h"

namespace pump::app {

namespace {

void SayFault(const std::string& path, const std::string& message) {
  std::fprintf(stderr, "pump-console: %s: %s\n", path.c_str(), message.c_str());
}

// A group program's parts, each as a program of its own.
int CheckGroupProgram(const std::string& path, const std::string& text) {
  auto read = group::ReadGroupProgram(text);
  if (const auto* fault = std::get_if<program::Fault>(&read)) {
    SayFault(path, fault->message);
    return 2;
  }
  std::fputs(group::GroupSummary(std::get<group::GroupProgram>(read)).c_str(), stdout);
  return 0;
}

}  // namespace

std::optional<program::Program> ProgramToRun(const std::string& path) {
  auto read = program::ReadProgramFile(path);
  if (const auto* fault = std::get_if<program::Fault>(&read)) {
    SayFault(path, fault->message);
    return std::nullopt;
  }
  return std::get<program::Program>(std::move(read));
}

int CheckProgram(const std::string& path) {
  std::string text;
  const FileResult read = program::ReadProgramFileBytes(path, &text);
  if (!read.ok) {
    SayFault(path, "cannot read: " + read.error);
    return 2;
  }
  if (group::LooksLikeGroupProgram(text)) return CheckGroupProgram(path, text);
  auto program = program::ReadProgram(text);
  if (const auto* fault = std::get_if<program::Fault>(&program)) {
    SayFault(path, fault->message);
    return 2;
  }
  std::fputs(program::ProgramSummary(std::get<program::Program>(program)).c_str(), stdout);
  return 0;
}

}  // namespace pump::app
