// The console's command line as Qt's parser reads it, in this process.
#include "app/console_command_line.h"

#include <gtest/gtest.h>

#include <fstream>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/test_broker.h"

namespace pump::app {
namespace {

CommandLineReading Parse(const std::vector<const char*>& arguments) {
  QStringList list{"pump-console"};
  for (const char* argument : arguments) list << argument;
  return ParseCommandLine(list);
}

TEST(ConsoleCommandLine, ReadsEveryOptionWithItsValueNextOrAfterAnEqualsSign) {
  const pump::testing::ScratchFolder folder;
  const std::string passwordFile = folder.path() + "/pw";
  const std::string caFile = folder.path() + "/ca.crt";
  std::ofstream(passwordFile) << "secret\n";
  std::ofstream(caFile) << "-----BEGIN CERTIFICATE-----\n";
  const std::string caOption = "--mqtt-ca=" + caFile;
  const auto reading =
      Parse({"--headless", "--port", "/dev/ttyUSB0", "--mqtt-url=mqtts://b:8883", "--mqtt-user",
             "op", "--mqtt-password-file", passwordFile.c_str(), caOption.c_str(), "--pump-id",
             "p7", "--mqtt-topic-prefix", "lab/p7", "--allow-remote-control"});
  ASSERT_TRUE(reading.line) << reading.problem;
  const auto& line = *reading.line;
  EXPECT_TRUE(line.headless);
  EXPECT_EQ(line.port, "/dev/ttyUSB0");
  EXPECT_EQ(line.remote.brokerUrl, "mqtts://b:8883");
  EXPECT_EQ(line.remote.user, "op");
  EXPECT_EQ(line.remote.passwordFile, passwordFile);
  EXPECT_EQ(line.remote.caFile, caFile);
  EXPECT_EQ(line.remote.pumpId, "p7");
  EXPECT_EQ(line.remote.topicPrefix, "lab/p7");
  EXPECT_TRUE(line.remote.allowRemoteControl);
  EXPECT_EQ(reading.output + reading.problem, "");
}

TEST(ConsoleCommandLine, AcceptsTheToolkitsOwnOptionsAndLeavesThemToIt) {
  const auto reading = Parse({"-platform", "offscreen", "-style=fusion", "--reverse",
                              "-qwindowtitle", "Pump 3", "--pump-id", "p3"});
  ASSERT_TRUE(reading.line) << reading.problem;
  remote::CommandLine expected;
  expected.remote.pumpId = "p3";
  EXPECT_EQ(*reading.line, expected);
}

struct RefusedLine {
  std::initializer_list<const char*> arguments;
  std::string named;  // what the line on the standard error must name
};

TEST(ConsoleCommandLine, ALineThatCannotBeUsedGetsOneLineNamingTheFaultAndStatusTwo) {
  EXPECT_EQ(Parse({"--mqtt-ulr", "mqtt://b"}).problem,
            "pump-console: unknown option --mqtt-ulr (see pump-console --help)\n");
  const RefusedLine refused[] = {
      {{"--pump-id=p", "-x"}, "unknown option -x"},
      {{"--mqtt-ulr=mqtt://b"}, "unknown option --mqtt-ulr"},
      {{"--port"}, "--port needs a value"},
      {{"--headless", "--port", "sim", "--mqtt-url"}, "--mqtt-url needs a value"},
      {{"-platform"}, "-platform needs a value"},
      {{"--headless=yes", "--port", "sim"}, "--headless takes no value"},
      {{"--headless"}, "--headless needs --port DEVICE"},
      {{"--headless", "--port="}, "--headless needs --port DEVICE"},
      {{"--headless", "/dev/ttyUSB0"}, "unexpected argument /dev/ttyUSB0"},
      {{"--allow-remote-control=maybe"}, "--allow-remote-control takes yes or no"},
      {{"--allow-remote-control="}, "--allow-remote-control takes yes or no"},
      // Files named on the line are looked at now, not when the broker is reached.
      {{"--mqtt-ca", "/nonexistent/ca.crt"},
       "--mqtt-ca /nonexistent/ca.crt: No such file or directory"},
      {{"--mqtt-password-file=/"}, "--mqtt-password-file /: not a regular file"},
  };
  for (const auto& row : refused) {
    const auto reading = Parse(row.arguments);
    SCOPED_TRACE(row.named);
    EXPECT_FALSE(reading.line);
    EXPECT_EQ(reading.exitStatus, 2);
    EXPECT_EQ(reading.output, "");
    EXPECT_TRUE(reading.problem.starts_with("pump-console: ")) << reading.problem;
    EXPECT_NE(reading.problem.find(row.named), std::string::npos) << reading.problem;
    EXPECT_EQ(reading.problem.find('\n'), reading.problem.size() - 1) << reading.problem;
  }
}

TEST(ConsoleCommandLine, RemoteControlIsSwitchedOnOrOffByTheLastOneGivenBareOrWithAWord) {
  const std::pair<std::vector<const char*>, std::optional<bool>> rows[] = {
      {{}, std::nullopt},
      {{"--allow-remote-control"}, true},
      {{"--allow-remote-control=yes"}, true},
      {{"--allow-remote-control=no"}, false},
      {{"--allow-remote-control", "-allow-remote-control=no"}, false},
      {{"--allow-remote-control=no", "--pump-id", "p", "--allow-remote-control"}, true},
  };
  for (const auto& [arguments, allowed] : rows) {
    const auto reading = Parse(arguments);
    ASSERT_TRUE(reading.line) << reading.problem;
    EXPECT_EQ(reading.line->remote.allowRemoteControl, allowed) << arguments.size();
  }
}

}  // namespace
}  // namespace pump::app
