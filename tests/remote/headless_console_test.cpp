// The console without a window, on pump-sim's line and a test broker, driven
// from the broker as a dashboard would.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "tests/remote/far_end.h"
#include "tests/remote/test_broker.h"
#include "tests/support/pump_sim_process.h"

extern char** environ;

namespace pump::remote::testing {
namespace {

using namespace std::chrono_literals;
using Json = nlohmann::json;

std::optional<Json> AwaitJson(FarEnd& end, const std::string& topic,
                              const std::function<bool(const Json&)>& match,
                              std::chrono::milliseconds within) {
  const auto found = end.waitFor(
      [&](const Received& message) {
        if (message.topic != topic) return false;
        const Json json = Json::parse(message.payload, nullptr, false);
        return !json.is_discarded() && match(json);
      },
      within);
  if (!found) return std::nullopt;
  return Json::parse(found->payload);
}

TEST(HeadlessConsole, PublishesPressuresObeysASetFlowThatReachesThePumpAndEndsOnSigterm) {
  if (const auto why = TestBroker::MissingReason()) GTEST_SKIP() << *why;
  TestBroker broker;
  ASSERT_TRUE(broker.start());
  pump::testing::PumpSimProcess pump;
  ASSERT_FALSE(pump.devicePath().empty()) << "pump-sim did not start";
  FarEnd end(broker.port(), "pumps/lab-e2e/#");
  ASSERT_TRUE(end.ready());

  ScratchFolder home;
  std::string homeVariable = "HOME=" + home.path();
  std::vector<std::string> args{PUMP_CONSOLE,      "--headless", "--port",
                                pump.devicePath(), "--mqtt-url", broker.url(),
                                "--pump-id",       "lab-e2e",    "--allow-remote-control"};
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::vector<char*> envp{homeVariable.data()};
  for (char** variable = environ; *variable; ++variable) {
    if (std::string_view(*variable).starts_with("HOME=")) continue;
    envp.push_back(*variable);
  }
  envp.push_back(nullptr);
  pid_t console = -1;
  ASSERT_EQ(::posix_spawn(&console, PUMP_CONSOLE, nullptr, nullptr, argv.data(), envp.data()), 0);

  const std::string prefix = "pumps/lab-e2e/";
  EXPECT_TRUE(AwaitJson(
      end, prefix + "pressure", [](const Json&) { return true; }, 10s))
      << "no pressure published from the polled pump";
  EXPECT_TRUE(AwaitJson(
      end, prefix + "status",
      [&](const Json& s) { return s["online"] == true && s["port"] == pump.devicePath(); }, 5s));

  ASSERT_TRUE(end.publish(prefix + "cmd/set_flow", R"({"ml_min":150,"request_id":"e2e-1"})"));
  const auto result = AwaitJson(
      end, prefix + "cmd/result", [](const Json&) { return true; }, 5s);
  ASSERT_TRUE(result);
  EXPECT_EQ(*result, (Json{{"request_id", "e2e-1"}, {"ok", true}}));
  EXPECT_TRUE(AwaitJson(
      end, prefix + "event",
      [](const Json& e) { return e["event"] == "command" && e["detail"] == "Q00L0150Y"; }, 5s))
      << "the set-flow frame was not written to the line";
  // The pump's answer puts the flow on the display, and the status follows it.
  EXPECT_TRUE(AwaitJson(
      end, prefix + "status", [](const Json& s) { return s["flow_ml_min"] == 150.0; }, 5s));

  ::kill(console, SIGTERM);
  int status = -1;
  for (int i = 0; i < 100 && ::waitpid(console, &status, WNOHANG) == 0; ++i) {
    std::this_thread::sleep_for(50ms);
  }
  ASSERT_TRUE(WIFEXITED(status)) << "the console did not end on SIGTERM";
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(AwaitJson(
      end, prefix + "status", [](const Json& s) { return s["online"] == false; }, 5s));
  EXPECT_TRUE(AwaitJson(
      end, prefix + "event", [](const Json& e) { return e["event"] == "close"; }, 1s));
}

}  // namespace
}  // namespace pump::remote::testing
