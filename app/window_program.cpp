#include "app/window_program.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace pump::app {
namespace {

// The folder of the running program, from the kernel rather than argv[0]
// (which may be a bare name found on the PATH).
std::string ProgramFolder() {
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string(".") : self.parent_path().string();
}

}  // namespace

std::vector<std::string> WindowProgramPlaces(const std::string& programFolder) {
  const std::filesystem::path folder(programFolder);
  return {(folder / PUMP_WINDOW_PROGRAM_NAME).string(),
          (folder / PUMP_WINDOW_PROGRAM_FROM_BIN).lexically_normal().string()};
}

int RunWindowProgram(char** argv) {
  const auto places = WindowProgramPlaces(ProgramFolder());
  for (const auto& place : places) {
    ::execv(place.c_str(), argv);
    if (errno != ENOENT) {
      std::fprintf(stderr, "pump-console: cannot run %s: %s\n", place.c_str(),
                   std::strerror(errno));
      return 1;
    }
  }
  std::fprintf(stderr, "pump-console: the window program is missing; looked at:\n");
  for (const auto& place : places) std::fprintf(stderr, "  %s\n", place.c_str());
  return 1;
}

}  // namespace pump::app
