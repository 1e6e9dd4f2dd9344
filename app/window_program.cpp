#include "app/window_program.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>

namespace pump::app {
// From the kernel rather than argv[0] (which may be a bare name found on the PATH).
std::string ProgramFolder() {
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string(".") : self.parent_path().string();
}

std::vector<std::string> WindowProgramPlaces(const std::string& programFolder) {
  const std::filesystem::path folder(programFolder);
  return {(folder / PUMP_WINDOW_PROGRAM_NAME).string(),
          (folder / PUMP_WINDOW_PROGRAM_FROM_BIN).lexically_normal().string()};
}

namespace {

int RunProgramFrom(const std::vector<std::string>& places, const char* what, char** argv) {
  for (const auto& place : places) {
    ::execv(place.c_str(), argv);
    if (errno != ENOENT) {
      std::fprintf(stderr, "pump-console: cannot run %s: %s\n", place.c_str(),
                   std::strerror(errno));
      return 1;
    }
  }
  std::fprintf(stderr, "pump-console: the %s is missing; looked at:\n", what);
  for (const auto& place : places) std::fprintf(stderr, "  %s\n", place.c_str());
  return 1;
}

}  // namespace

int RunWindowProgram(char** argv) {
  return RunProgramFrom(WindowProgramPlaces(ProgramFolder()), "window program", argv);
}

bool AsksForReport(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument(argv[i]);
    if (argument == "--report" || argument == "-report" || argument.starts_with("--report=")) {
      return true;
    }
  }
  return false;
}

std::vector<std::string> ReportProgramPlaces(const std::string& programFolder) {
  const std::filesystem::path folder(programFolder);
  return {(folder / PUMP_REPORT_PROGRAM_NAME).string(),
          (folder / PUMP_REPORT_PROGRAM_FROM_BIN).lexically_normal().string()};
}

int RunReportProgram(char** argv) {
  return RunProgramFrom(ReportProgramPlaces(ProgramFolder()), "report program", argv);
}

}  // namespace pump::app
