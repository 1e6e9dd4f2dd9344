// The child-process rig the process tests stand on: what environment the
// child sees, and that a child deaf to SIGTERM is still ended.
#include "tests/support/child_process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/scoped_variable.h"
#include "tests/support/scratch_folder.h"

namespace pump::testing {
namespace {

using namespace std::chrono_literals;

std::vector<std::string> EnvironmentLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(ChildProcess, TheChildSeesWhatIsSetAndNothingDroppedAndTheRestAsInherited) {
  ScopedVariable display("DISPLAY", ":7"), config("XDG_CONFIG_HOME", "/elsewhere"),
      kept("PUMP_TEST_KEPT", "kept");
  ScratchFolder folder;
  const pid_t child = SpawnChild({.args = {"/usr/bin/env"},
                                  .dropVariables = {"DISPLAY=", "XDG_"},
                                  .setVariables = {"HOME=" + folder.path()},
                                  .outFile = folder.path("env")});
  ASSERT_GT(child, 0);
  EXPECT_EQ(ExitCodeOf(WaitForExit(child, 5s)), 0);
  const auto lines = EnvironmentLines(ReadFile(folder.path("env")));
  int homes = 0;
  for (const std::string& line : lines) {
    EXPECT_FALSE(line.starts_with("DISPLAY=") || line.starts_with("XDG_")) << line;
    if (!line.starts_with("HOME=")) continue;
    ++homes;
    EXPECT_EQ(line, "HOME=" + folder.path());
  }
  EXPECT_EQ(homes, 1);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "PUMP_TEST_KEPT=kept"), lines.end());
}

TEST(ChildProcess, AChildDeafToSigtermIsKilledOnceTheWaitIsOver) {
  ScratchFolder folder;
  const pid_t child = SpawnChild({.args = {"/bin/sh", "-c", "trap '' TERM; echo ready; sleep 30"},
                                  .outFile = folder.path("out")});
  ASSERT_GT(child, 0);
  for (int i = 0; i < 200 && ReadFile(folder.path("out")).empty(); ++i) ::usleep(10'000);
  const auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(SignalAndReap(child, SIGTERM, 300ms)) << "it ended by itself";
  EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
  EXPECT_EQ(::waitpid(child, nullptr, WNOHANG), -1) << "it is still there to be reaped";
}

TEST(ChildProcess, ACheckAsNobodyRunsWithNobodysIds) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can become nobody";
  EXPECT_EQ(ExitCodeAsNobody([] { return ::getuid() == 65534 && ::getgid() == 65534 ? 0 : 1; }), 0);
}

}  // namespace
}  // namespace pump::testing
