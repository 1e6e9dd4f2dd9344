#include "program/program_file.h"

#include <cstdio>

#include "platform/posix/named_file.h"

namespace pump::program {
namespace {

std::string Line(const char* format, auto... values) {
  char text[160];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

}  // namespace

FileResult ReadProgramFileBytes(const std::string& path, std::string* bytes) {
  return posix::ReadNamedFile(path, kLargestProgramFileBytes, bytes);
}

std::variant<Program, Fault> ReadProgramFile(const std::string& path) {
  std::string text;
  const FileResult read = ReadProgramFileBytes(path, &text);
  if (!read.ok) return Fault{0, "", "cannot read: " + read.error};
  return ReadProgram(text);
}

std::string HoursMinutesSeconds(long seconds) {
  return Line("%02ld:%02ld:%02ld", seconds / 3600, seconds % 3600 / 60, seconds % 60);
}

std::string ProgramSummary(const Program& program) {
  std::string text = "program: " + program.name + "\n";
  text += "step  seconds  flow_start  flow_end  pressure_limit\n";
  for (std::size_t i = 0; i < program.steps.size(); ++i) {
    const Step& step = program.steps[i];
    text += Line("%4zu  %7ld  %10d  %8d  %14.1f\n", i + 1, step.seconds, step.flowStartMlMin,
                 step.flowEndMlMin, step.pressureLimitTenths / 10.0);
  }
  text += "total: " + HoursMinutesSeconds(program.totalSeconds()) + " (" +
          std::to_string(program.totalSeconds()) + " s), " +
          Line("volume: %.1f ml\n", program.volumeMl());
  return text;
}

}  // namespace pump::program
