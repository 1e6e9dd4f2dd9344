// pump-console as the operator starts it, seen from outside: without a window
// it polls with no widget or GUI library in its memory; with one, the same
// process becomes the window program; and with the window program missing it
// says where it looked.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/runlog/log_test_support.h"
#include "tests/support/console_process.h"

namespace pump::remote::testing {
namespace {

using namespace pump::testing;
using namespace std::chrono_literals;
using runlog::testing::WaitUntil;
namespace fs = std::filesystem;

// Starts `program` with `arguments`, its home, runtime folder and settings in
// `home`, no display but Qt's offscreen platform, and its standard error in
// `home`/err.txt. The process id, or -1.
pid_t Start(const std::string& program, const std::vector<std::string>& arguments,
            const std::string& home) {
  std::vector<std::string> args{program};
  args.insert(args.end(), arguments.begin(), arguments.end());
  return pump::testing::SpawnChild(
      {.args = args,
       .dropVariables = {"XDG_", "DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA"},
       .setVariables = {"HOME=" + home, "XDG_RUNTIME_DIR=" + home, "QT_QPA_PLATFORM=offscreen"},
       .errFile = home + "/err.txt"});
}

// The Qt libraries mapped into the process, by file name.
std::vector<std::string> QtLibraries(pid_t pid) {
  const std::string maps = ReadFile("/proc/" + std::to_string(pid) + "/maps");
  std::vector<std::string> found;
  for (std::size_t at = maps.find("libQt6"); at != std::string::npos;
       at = maps.find("libQt6", at + 1)) {
    const std::string name = maps.substr(at, maps.find_first_of(".\n", at) - at);
    if (std::find(found.begin(), found.end(), name) == found.end()) found.push_back(name);
  }
  return found;
}

bool Holds(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// The process has taken SIGTERM for itself (until then the signal would kill it).
bool CatchesSigterm(pid_t pid) {
  const std::string status = ReadFile("/proc/" + std::to_string(pid) + "/status");
  const std::size_t at = status.find("SigCgt:");
  if (at == std::string::npos) return false;
  const unsigned long long caught = std::stoull(status.substr(at + 7), nullptr, 16);
  return (caught >> (SIGTERM - 1)) & 1;
}

// A reading row in any run log under the home: the pump was polled and answered.
bool RunLogHasReading(const std::string& home) {
  const fs::path folder = fs::path(home) / "Documents" / "pump-logs";
  std::error_code error;
  for (const auto& file : fs::directory_iterator(folder, error)) {
    if (ReadFile(file.path().string()).find(",reading,") != std::string::npos) return true;
  }
  return false;
}

TEST(ConsolePrograms, AHeadlessConsolePollsWithNoWidgetOrGuiLibraryLoadedAndEndsCleanlyOnSigterm) {
  ScratchFolder home;
  const pid_t console = Start(PUMP_CONSOLE, {"--headless", "--port", "sim"}, home.path());
  ASSERT_GT(console, 0);
  ASSERT_TRUE(WaitUntil([&] { return RunLogHasReading(home.path()); }, 20s))
      << "no reading logged; standard error: " << ReadFile(home.path() + "/err.txt");

  const auto loaded = QtLibraries(console);
  EXPECT_TRUE(Holds(loaded, "libQt6Core")) << "the maps were not read";
  for (const char* library : {"libQt6Widgets", "libQt6Gui", "libQt6Charts", "libQt6PrintSupport",
                              "libQt6Pdf", "libQt6Svg", "libQt6OpenGL"}) {
    EXPECT_FALSE(Holds(loaded, library)) << library << " is loaded";
  }
  EXPECT_EQ(EndConsole(console), 0);
}

TEST(ConsolePrograms, WithoutHeadlessTheSameProcessBecomesTheWindowProgramAndEndsOnSigterm) {
  ScratchFolder home;
  const pid_t console = Start(PUMP_CONSOLE, {}, home.path());
  ASSERT_GT(console, 0);
  ASSERT_TRUE(WaitUntil(
      [&] { return Holds(QtLibraries(console), "libQt6Widgets") && CatchesSigterm(console); }, 20s))
      << "no window program; standard error: " << ReadFile(home.path() + "/err.txt");
  const fs::path running = fs::read_symlink("/proc/" + std::to_string(console) + "/exe");
  EXPECT_EQ(running.filename(), "pump-console-window");
  // Qt names the application after argv[0], so the desktop still knows it.
  const std::string commandLine = ReadFile("/proc/" + std::to_string(console) + "/cmdline");
  EXPECT_EQ(commandLine, std::string(PUMP_CONSOLE) + '\0');
  EXPECT_EQ(EndConsole(console), 0);
}

TEST(ConsolePrograms, WithTheWindowProgramMissingTheConsoleSaysWhereItLookedAndFails) {
  ScratchFolder home;
  const std::string alone = home.path() + "/bin/pump-console";
  fs::create_directories(home.path() + "/bin");
  fs::copy_file(PUMP_CONSOLE, alone);
  const pid_t console = Start(alone, {}, home.path());
  ASSERT_GT(console, 0);
  int status = -1;
  ASSERT_EQ(::waitpid(console, &status, 0), console);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  const std::string said = ReadFile(home.path() + "/err.txt");
  EXPECT_NE(said.find("the window program is missing"), std::string::npos) << said;
  EXPECT_NE(said.find(home.path() + "/bin/pump-console-window\n"), std::string::npos) << said;
  EXPECT_NE(said.find(home.path() + "/lib/pump-console/pump-console-window\n"), std::string::npos)
      << said;

  // The command line is still read without it: --version needs no window.
  const pid_t version = Start(alone, {"--version"}, home.path());
  ASSERT_EQ(::waitpid(version, &status, 0), version);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
}  // namespace pump::remote::testing
