// pump-console as a child process with no display at all (no DISPLAY,
// WAYLAND_DISPLAY or QT_QPA_PLATFORM) and a home folder of its own: what its
// command line alone makes it do.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/runlog/log_test_support.h"
#include "tests/support/child_process.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/shell_command.h"

namespace pump::remote::testing {
namespace {

using namespace pump::testing;
using namespace std::chrono_literals;
using runlog::testing::WaitUntil;

class ConsoleWithoutDisplay : public ::testing::Test {
 protected:
  struct Ended {
    int status = -1;  // the exit status, or -1 if it did not exit by itself in time
    std::string out;
    std::string err;
  };

  ~ConsoleWithoutDisplay() override {
    if (console_ > 0 && ::waitpid(console_, nullptr, WNOHANG) == 0)
      SignalAndReap(console_, SIGKILL);
  }

  // Starts pump-console with these arguments and with no display, its home,
  // runtime folder (keeping Qt's warning about a missing one away) and
  // settings in `home`, and its standard output and error going to files there.
  void start(const std::vector<std::string>& arguments) {
    std::vector<std::string> args{PUMP_CONSOLE};
    args.insert(args.end(), arguments.begin(), arguments.end());
    console_ = SpawnChild(
        {.args = args,
         .dropVariables = {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=", "XDG_CONFIG_HOME="},
         .setVariables = {"HOME=" + home.path(), "XDG_RUNTIME_DIR=" + home.path()},
         .outFile = outPath(),
         .errFile = errPath()});
  }

  // Waits for the console to exit, within 30 seconds.
  Ended ended() {
    const auto status = WaitForExit(console_, 30s);
    if (status) console_ = -1;
    return {ExitCodeOf(status), ReadFile(outPath()), ReadFile(errPath())};
  }

  Ended run(const std::vector<std::string>& arguments) {
    start(arguments);
    EXPECT_GT(console_, 0) << "pump-console did not start";
    return ended();
  }

  bool stillRunning() const { return console_ > 0 && ::waitpid(console_, nullptr, WNOHANG) == 0; }

  std::string outPath() const { return home.path() + "/stdout"; }
  std::string errPath() const { return home.path() + "/stderr"; }

  ScratchFolder home;
  pid_t console_ = -1;
};

bool IsOneLine(const std::string& text) {
  return !text.empty() && text.find('\n') == text.size() - 1;
}

TEST_F(ConsoleWithoutDisplay, HelpListsEveryOptionAndVersionNamesTheRelease) {
  const auto help = run({"--help"});
  EXPECT_EQ(help.status, 0) << help.err;
  EXPECT_EQ(help.err, "");
  for (const char* option :
       {"--headless", "--port <DEVICE>", "--mqtt-url <URL>", "--mqtt-user <NAME>",
        "--mqtt-password-file <FILE>", "--mqtt-ca <FILE>", "--pump-id <ID>", "--program <FILE>",
        "--check-program <FILE>", "--mqtt-topic-prefix <PREFIX>", "--allow-remote-control",
        "--help", "--version"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option << " missing from:\n" << help.out;
  }
  EXPECT_TRUE(help.out.starts_with("Usage: pump-console [options]\n")) << help.out;

  const auto version = run({"--version"});
  EXPECT_EQ(version.status, 0) << version.err;
  EXPECT_EQ(version.out, "pump-console " PUMP_CONSOLE_VERSION "\n");
  EXPECT_EQ(version.err, "");
}

TEST_F(ConsoleWithoutDisplay, AMisspeltOptionOrAMissingValueEndsWithOneLineAndStatusTwo) {
  const auto misspelt = run({"--mqtt-ulr", "mqtt://broker:1883"});
  EXPECT_EQ(misspelt.status, 2);
  EXPECT_TRUE(IsOneLine(misspelt.err)) << misspelt.err;
  EXPECT_NE(misspelt.err.find("--mqtt-ulr"), std::string::npos) << misspelt.err;
  EXPECT_EQ(misspelt.out, "");

  const auto noValue = run({"--headless", "--port"});
  EXPECT_EQ(noValue.status, 2);
  EXPECT_TRUE(IsOneLine(noValue.err)) << noValue.err;
  EXPECT_NE(noValue.err.find("--port"), std::string::npos) << noValue.err;
}

TEST_F(ConsoleWithoutDisplay, UnusableBrokerSettingsEndAHeadlessConsoleWithOneLineAndStatusTwo) {
  const auto badUrl = run({"--headless", "--port", "sim", "--mqtt-url", "tcp://broker"});
  EXPECT_EQ(badUrl.status, 2);
  EXPECT_TRUE(IsOneLine(badUrl.err)) << badUrl.err;
  EXPECT_NE(badUrl.err.find("broker URL"), std::string::npos) << badUrl.err;
}

TEST_F(ConsoleWithoutDisplay, AGoodHeadlessLinePollsThePumpUntilSigterm) {
  start({"--headless", "--port", "sim"});
  ASSERT_GT(console_, 0);
  const auto logs = std::filesystem::path(home.path()) / "Documents" / "pump-logs";
  const bool polled = WaitUntil(
      [&] {
        std::error_code error;
        for (const auto& log : std::filesystem::directory_iterator(logs, error)) {
          if (ReadFile(log.path().string()).find(",reading,") != std::string::npos) return true;
        }
        return !stillRunning();
      },
      30s);
  ASSERT_TRUE(polled && stillRunning()) << "no reading logged; standard error:\n"
                                        << ReadFile(errPath());
  ::kill(console_, SIGTERM);
  const auto end = ended();
  EXPECT_EQ(end.status, 0) << end.err;
}

// Writes `json` to a file in the console's home and gives its path.
std::string ProgramFile(const ScratchFolder& home, const std::string& name,
                        const std::string& json) {
  const std::string path = home.path() + "/" + name;
  std::ofstream(path, std::ios::binary) << json;
  return path;
}

TEST_F(ConsoleWithoutDisplay, CheckProgramPrintsStepsTotalAndVolumeOrTheFirstFault) {
  const auto good =
      run({"--check-program",
           ProgramFile(home, "good.json",
                       R"({"version":1,"name":"升流量","steps":[)"
                       R"({"seconds":60,"flow_start":0,"flow_end":50,"pressure_limit":3.0},)"
                       R"({"seconds":600,"flow_start":50,"flow_end":50,"pressure_limit":3.0}]})")});
  EXPECT_EQ(good.status, 0) << good.err;
  EXPECT_EQ(good.out,
            "program: 升流量\n"
            "step  seconds  flow_start  flow_end  pressure_limit\n"
            "   1       60           0        50             3.0\n"
            "   2      600          50        50             3.0\n"
            "total: 00:11:00 (660 s), volume: 525.0 ml\n");
  EXPECT_EQ(good.err, "");

  const auto group = run(
      {"--check-program",
       ProgramFile(home, "group.json",
                   R"({"version":1,"name":"梯度","pumps":["P01","P02"],"steps":[{"seconds":1200,)"
                   R"("total_start":10,"total_end":10,"shares_start":[95,5],"shares_end":[5,95],)"
                   R"("pressure_limit":3.0}]})")});
  EXPECT_EQ(group.status, 0) << group.err;
  EXPECT_TRUE(group.out.starts_with("group program: 梯度\npumps: P01 P02\n")) << group.out;
  EXPECT_NE(group.out.find("part of P02:\nprogram: 梯度 P02\n"
                           "step  seconds  flow_start  flow_end  pressure_limit\n"
                           "   1     1200           0         9             3.0\n"),
            std::string::npos)
      << group.out;

  const auto bad = run({"--check-program",
                        ProgramFile(home, "bad.json",
                                    R"({"version":1,"name":"x","steps":[{"seconds":5,"flow_start":)"
                                    R"(0,"flow_end":5,"pressure_limit":1},{"seconds":5,)"
                                    R"("flow_start":0,"flow_end":500,"pressure_limit":1}]})")});
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.out, "");
  EXPECT_TRUE(IsOneLine(bad.err)) << bad.err;
  EXPECT_NE(bad.err.find("step 2: flow_end"), std::string::npos) << bad.err;

  const auto missing = run({"--check-program", home.path() + "/none.json"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("cannot read"), std::string::npos) << missing.err;
}

TEST_F(ConsoleWithoutDisplay, AProgramOnTheCommandLineRunsOnceThePumpAnswersAndTheConsoleGoesOn) {
  const std::string program = ProgramFile(
      home, "short.json",
      R"({"version":1,"name":"short","steps":[{"seconds":1,"flow_start":5,"flow_end":5,)"
      R"("pressure_limit":2.0},{"seconds":2,"flow_start":5,"flow_end":9,"pressure_limit":2.5}]})");
  start({"--headless", "--port", "sim", "--program", program});
  ASSERT_GT(console_, 0);
  const auto logs = std::filesystem::path(home.path()) / "Documents" / "pump-logs";
  std::string log;
  std::filesystem::path logPath;
  const bool finished = WaitUntil(
      [&] {
        std::error_code error;
        for (const auto& file : std::filesystem::directory_iterator(logs, error)) {
          if (file.path().extension() != ".csv") continue;
          logPath = file.path();
          log = ReadFile(file.path().string());
          if (log.find(",program,") != std::string::npos && log.find(",end") != std::string::npos)
            return true;
        }
        return !stillRunning();
      },
      30s);
  ASSERT_TRUE(finished && stillRunning()) << "no end of the program logged; standard error:\n"
                                          << ReadFile(errPath()) << log;
  // The program's rows and frames in their order, whatever came between them.
  std::size_t at = 0;
  for (const char* expected : {"start short", "step 1/2", "Q00P02.0Y", "Q00L0005Y", "Q00R0000Y",
                               "step 2/2", "Q00P02.5Y", "Q00L0007Y", "Q00L0009Y", "Q00S0000Y"}) {
    const auto found = log.find(expected, at);
    ASSERT_NE(found, std::string::npos) << expected << " missing, or out of order, in:\n" << log;
    at = found;
  }
  EXPECT_NE(ReadFile(errPath()).find("step 2/2"), std::string::npos)
      << "told on the standard error";

  // Its report, beside the log, once the end row is on disk.
  const std::string pdf = logPath.replace_extension(".pdf").string();
  std::string text;
  EXPECT_TRUE(WaitUntil(
      [&] {
        text = PdfText(pdf);
        return text.find("泵运行报告") != std::string::npos;
      },
      20s))
      << "no report at " << pdf << "\n"
      << ReadFile(errPath());
  EXPECT_NE(text.find("short"), std::string::npos) << "the program's name in its report";
  ::kill(console_, SIGTERM);
  EXPECT_EQ(ended().status, 0);
}

}  // namespace
}  // namespace pump::remote::testing
