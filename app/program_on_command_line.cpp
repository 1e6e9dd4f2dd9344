#include "app/program_on_command_line.h"

#include <cstdio>
#include <variant>

#include "program/program_file.h"

namespace pump::app {

std::optional<program::Program> ProgramToRun(const std::string& path) {
  auto read = program::ReadProgramFile(path);
  if (const auto* fault = std::get_if<program::Fault>(&read)) {
    std::fprintf(stderr, "pump-console: %s: %s\n", path.c_str(), fault->message.c_str());
    return std::nullopt;
  }
  return std::get<program::Program>(std::move(read));
}

int CheckProgram(const std::string& path) {
  const auto program = ProgramToRun(path);
  if (!program) return 2;
  std::fputs(program::ProgramSummary(*program).c_str(), stdout);
  return 0;
}

}  // namespace pump::app
