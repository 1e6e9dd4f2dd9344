// The console without a window, on pump-sim's line and a test broker, driven
// from the broker as a dashboard would.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/remote/far_end.h"
#include "tests/remote/old_broker_gate.h"
#include "tests/support/console_process.h"
#include "tests/support/pump_sim_process.h"
#include "tests/support/test_broker.h"

namespace pump::remote::testing {
namespace {

using namespace pump::testing;
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

// Every line of every run log under the home, line ends kept.
std::vector<std::string> RunLogLines(const std::string& home) {
  std::vector<std::string> lines;
  const std::filesystem::path folder = std::filesystem::path(home) / "Documents" / "pump-logs";
  if (!std::filesystem::exists(folder)) return lines;
  for (const auto& file : std::filesystem::directory_iterator(folder)) {
    const std::string bytes = ReadFile(file.path().string());
    for (std::size_t at = 0; at < bytes.size();) {
      const std::size_t end = bytes.find('\n', at);
      lines.push_back(bytes.substr(at, end == std::string::npos ? end : end + 1 - at));
      at = end == std::string::npos ? bytes.size() : end + 1;
    }
  }
  return lines;
}

// The peak resident memory of a process so far, in kB; 0 if unknown.
long PeakResidentKb(pid_t process) {
  std::ifstream status("/proc/" + std::to_string(process) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("VmHWM:")) return std::stol(line.substr(6));
  }
  return 0;
}

// The position of the last line that holds every one of `parts`, or -1.
int LastLineWith(const std::vector<std::string>& lines, const std::vector<std::string>& parts) {
  for (int i = static_cast<int>(lines.size()) - 1; i >= 0; --i) {
    bool all = true;
    for (const auto& part : parts) all = all && lines[i].find(part) != std::string::npos;
    if (all) return i;
  }
  return -1;
}

// A broker, a pump-sim, a subscriber to every topic of pump "lab-e2e", and a
// headless console started on them with a home folder of its own.
class HeadlessConsole : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const auto why = TestBroker::MissingReason()) GTEST_SKIP() << *why;
    ASSERT_TRUE(broker.start());
    ASSERT_FALSE(pumpSim.devicePath().empty()) << "pump-sim did not start";
    end.emplace(broker.port(), "pumps/lab-e2e/#");
    ASSERT_TRUE(end->ready());
  }

  void TearDown() override {
    if (console > 0) endConsole();
  }

  // SIGTERM, then its exit status (-1 if it did not end by exiting).
  int endConsole() {
    const int status = EndConsole(console);
    console = -1;
    return status;
  }

  void startConsole(std::string brokerUrl = {}) {
    if (brokerUrl.empty()) brokerUrl = broker.url();
    console =
        StartHeadlessConsole(PUMP_CONSOLE, pumpSim.devicePath(), brokerUrl, "lab-e2e", home.path());
    ASSERT_GT(console, 0);
  }

  // Sends 10 MB on cmd/set_flow, then a good set-flow; by how much the
  // console's peak resident memory grew, in kB, once it has answered that.
  long peakGrowthFromTenMegabytes() {
    if (!consoleAnswering()) return -1;
    const long before = PeakResidentKb(console);
    EXPECT_GT(before, 0);
    EXPECT_TRUE(end->publish(prefix + "cmd/set_flow", std::string(10 << 20, 'x')));
    EXPECT_TRUE(end->publish(prefix + "cmd/set_flow", R"({"ml_min":120,"request_id":"after"})"));
    const auto result = AwaitJson(
        *end, prefix + "cmd/result", [](const Json& r) { return r["request_id"] == "after"; }, 10s);
    EXPECT_TRUE(result) << "no answer after the large message";
    if (result) {
      EXPECT_EQ((*result)["ok"], true);
    }
    return PeakResidentKb(console) - before;
  }

  // Waits until the console polls its pump and says so on the broker.
  bool consoleAnswering() {
    return AwaitJson(
               *end, prefix + "status",
               [](const Json& s) { return s["online"] == true && s["link"] == "answering"; }, 10s)
        .has_value();
  }

  // Every byte the pump has read from its line so far.
  std::string heardByThePump() const { return ReadFile(heardLog); }

  const std::string prefix = "pumps/lab-e2e/";
  TestBroker broker;
  ScratchFolder home;
  const std::string heardLog = home.path() + "/heard-by-the-pump";
  pump::testing::PumpSimProcess pumpSim{{"--log-received", heardLog}};
  std::optional<FarEnd> end;
  pid_t console = -1;
};

TEST_F(HeadlessConsole, PublishesPressuresObeysASetFlowThatReachesThePumpAndEndsOnSigterm) {
  startConsole();
  EXPECT_TRUE(AwaitJson(
      *end, prefix + "pressure", [](const Json&) { return true; }, 10s))
      << "no pressure published from the polled pump";
  EXPECT_TRUE(AwaitJson(
      *end, prefix + "status",
      [&](const Json& s) { return s["online"] == true && s["port"] == pumpSim.devicePath(); }, 5s));

  ASSERT_TRUE(end->publish(prefix + "cmd/set_flow", R"({"ml_min":150,"request_id":"e2e-1"})"));
  const auto result = AwaitJson(
      *end, prefix + "cmd/result", [](const Json&) { return true; }, 5s);
  ASSERT_TRUE(result);
  EXPECT_EQ(*result, (Json{{"request_id", "e2e-1"}, {"ok", true}}));
  EXPECT_TRUE(AwaitJson(
      *end, prefix + "event",
      [](const Json& e) { return e["event"] == "command" && e["detail"] == "Q00L0150Y"; }, 5s))
      << "the set-flow frame was not written to the line";
  // The pump's answer puts the flow on the display, and the status follows it.
  EXPECT_TRUE(AwaitJson(
      *end, prefix + "status", [](const Json& s) { return s["flow_ml_min"] == 150.0; }, 5s));

  ASSERT_EQ(endConsole(), 0) << "the console did not end cleanly on SIGTERM";
  EXPECT_TRUE(AwaitJson(
      *end, prefix + "status", [](const Json& s) { return s["online"] == false; }, 5s));
  EXPECT_TRUE(AwaitJson(
      *end, prefix + "event", [](const Json& e) { return e["event"] == "close"; }, 1s));
}

// An adapter plugged in after the console started: its port (here a link to
// the pump's line, made later) is not there at first.
TEST_F(HeadlessConsole, APortThatAppearsLaterIsTriedUntilItOpensAndTheStatusSaysWhyMeanwhile) {
  const std::string port = home.path() + "/ttyPump";
  const std::string errors = home.path() + "/stderr";
  console =
      StartHeadlessConsole(PUMP_CONSOLE, port, broker.url(), "lab-e2e", home.path(), true, errors);
  ASSERT_GT(console, 0);
  EXPECT_TRUE(AwaitJson(
      *end, prefix + "status",
      [](const Json& s) {
        return s["online"] == true && s["link"] == "not_connected" &&
               s["link_cause"] == "not_found";
      },
      10s))
      << "the status does not say why the port is not open";
  // Said in words for a console with no window: no menu to point to.
  ASSERT_TRUE(end->publish(prefix + "cmd/stop", R"({"request_id":"early"})"));
  const auto refused = AwaitJson(
      *end, prefix + "cmd/result", [](const Json& r) { return r["request_id"] == "early"; }, 5s);
  ASSERT_TRUE(refused);
  EXPECT_EQ((*refused)["error"], "通信端口 " + port + " 未打开，每 2 秒重试一次!");

  std::this_thread::sleep_for(4500ms);  // two more tries, with the same cause
  std::vector<std::string> told;
  std::ifstream in(errors);
  for (std::string line; std::getline(in, line);) {
    if (line.find("无法打开通信端口 " + port) != std::string::npos) told.push_back(line);
  }
  ASSERT_EQ(told.size(), 1U) << "the cause is said once";
  EXPECT_NE(told[0].find("设备不存在"), std::string::npos) << told[0];
  EXPECT_NE(told[0].find("每 2 秒重试一次"), std::string::npos) << told[0];

  const auto appeared = std::chrono::steady_clock::now();
  std::filesystem::create_symlink(pumpSim.devicePath(), port);
  const auto answering = AwaitJson(
      *end, prefix + "status", [](const Json& s) { return s["link"] == "answering"; }, 10s);
  ASSERT_TRUE(answering) << "the port was not opened once it appeared";
  std::printf("port appeared to pump answering: %lld ms\n",
              static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now() - appeared)
                                         .count()));
  EXPECT_EQ((*answering)["link_cause"], nullptr);
  EXPECT_EQ((*answering)["port"], port);
  EXPECT_NE(heardByThePump().find("Q00F0000Y"), std::string::npos) << "no poll reached the pump";
}

TEST_F(HeadlessConsole, AProgramFromTheBrokerRunsPausesContinuesAndAbortsWithOneResultEach) {
  startConsole();
  ASSERT_TRUE(consoleAnswering());
  // 1 s at 10 under 2.0 MPa, up to 14 over 2 s, then a long hold at 14 under 3.0 MPa.
  const std::string program =
      R"({"version":1,"name":"远程","steps":[)"
      R"({"seconds":1,"flow_start":10,"flow_end":10,"pressure_limit":2.0},)"
      R"({"seconds":2,"flow_start":10,"flow_end":14,"pressure_limit":2.0},)"
      R"({"seconds":600,"flow_start":14,"flow_end":14,"pressure_limit":3.0}]})";
  const auto command = [&](const std::string& name, const std::string& id,
                           const std::string& extra = {}) {
    EXPECT_TRUE(
        end->publish(prefix + "cmd/" + name, R"({"request_id":")" + id + "\"" + extra + "}"));
    const auto result = AwaitJson(
        *end, prefix + "cmd/result", [&](const Json& r) { return r["request_id"] == id; }, 5s);
    return result ? *result : Json();
  };
  EXPECT_EQ(command("run_program", "go", R"(,"program":)" + program)["ok"], true);
  const auto third = AwaitJson(
      *end, prefix + "status",
      [](const Json& s) { return s["program"].is_object() && s["program"]["step"] == 3; }, 10s);
  ASSERT_TRUE(third) << "the program did not reach its third step";
  EXPECT_EQ((*third)["program"]["name"], "远程");
  EXPECT_EQ((*third)["program"]["state"], "running");
  EXPECT_EQ((*third)["program"]["steps"], 3);
  EXPECT_LE((*third)["program"]["seconds_left"].get<long>(), 600);

  EXPECT_EQ(command("pause_program", "hold")["ok"], true);
  EXPECT_TRUE(AwaitJson(
      *end, prefix + "status",
      [](const Json& s) { return s["program"].is_object() && s["program"]["state"] == "paused"; },
      5s));
  EXPECT_EQ(command("continue_program", "on")["ok"], true);
  EXPECT_EQ(command("abort_program", "off")["ok"], true);
  EXPECT_TRUE(AwaitJson(
      *end, prefix + "status", [](const Json& s) { return s["program"].is_null(); }, 5s));
  const Json late = command("pause_program", "late");
  EXPECT_EQ(late["ok"], false);
  EXPECT_EQ(late["error"], "没有正在运行的程序!");

  for (const char* detail : {"start 远程", "step 2/3", "step 3/3", "pause", "continue", "abort"}) {
    EXPECT_TRUE(AwaitJson(
        *end, prefix + "event",
        [&](const Json& e) { return e["event"] == "program" && e["detail"] == detail; }, 1s))
        << detail;
  }
  EXPECT_EQ(end->receivedOn(prefix + "cmd/result").size(), 5U) << "one answer to each command";
  ASSERT_EQ(endConsole(), 0);

  // What the pump read, in order, polls and all between.
  const std::string heard = heardByThePump();
  std::size_t at = 0;
  for (const char* frame :
       {"Q00P02.0Y", "Q00L0010Y", "Q00R0000Y", "Q00L0012Y", "Q00L0014Y", "Q00P03.0Y", "Q00S0000Y",
        "Q00P03.0Y", "Q00L0014Y", "Q00R0000Y", "Q00S0000Y"}) {
    const auto found = heard.find(frame, at);
    ASSERT_NE(found, std::string::npos) << frame << " missing or out of order in " << heard;
    at = found + 1;
  }
}

TEST_F(HeadlessConsole, EveryRemoteCommandIsARunLogRowWithItsRequestIdAndAnEventMessage) {
  startConsole();
  ASSERT_TRUE(AwaitJson(
      *end, prefix + "status", [](const Json& s) { return s["link"] == "answering"; }, 10s));

  ASSERT_TRUE(end->publish(prefix + "cmd/set_flow", R"({"ml_min":150,"request_id":"abc"})"));
  // An id with a comma, quotes, a control byte and UTF-8 is logged as one safe word.
  ASSERT_TRUE(end->publish(prefix + "cmd/set_flow",
                           "{\"ml_min\":250,\"request_id\":\"x,\\\"y\\\"\\n\u00e9\"}"));
  const std::string refusedDetail =
      "remote set_flow 250 request_id=x,\"y\"??? error=ml_min must be at most 200";
  EXPECT_TRUE(AwaitJson(
      *end, prefix + "event",
      [](const Json& e) {
        return e["event"] == "command" && e["detail"] == "remote set_flow 150 request_id=abc";
      },
      5s));
  EXPECT_TRUE(AwaitJson(
      *end, prefix + "event",
      [&](const Json& e) { return e["event"] == "refused" && e["detail"] == refusedDetail; }, 5s));
  ASSERT_EQ(endConsole(), 0);

  std::vector<std::string> remoteRows;
  for (const auto& line : RunLogLines(home.path())) {
    if (line.find("remote set_flow") != std::string::npos) remoteRows.push_back(line);
  }
  ASSERT_EQ(remoteRows.size(), 2u);
  // time,elapsed_s,event,pressure_mpa,flow_ml_min,pressure_limit_mpa,pump,detail
  const auto fieldsFrom = [](const std::string& row, int first) {
    std::size_t at = 0;
    for (int i = 0; i < first; ++i) at = row.find(',', at) + 1;
    return row.substr(at);
  };
  EXPECT_TRUE(fieldsFrom(remoteRows[0], 2).starts_with("command,"));
  EXPECT_TRUE(remoteRows[0].ends_with(",STOP,remote set_flow 150 request_id=abc\r\n"))
      << remoteRows[0];
  EXPECT_TRUE(fieldsFrom(remoteRows[1], 2).starts_with("refused,"));
  EXPECT_TRUE(
      remoteRows[1].ends_with(",STOP,\"remote set_flow 250 request_id=x,\"\"y\"\"??? error=ml_min "
                              "must be at most 200\"\r\n"))
      << remoteRows[1];
}

TEST_F(HeadlessConsole, ARunLeftRetainedOnTheBrokerNeverReachesThePump) {
  ASSERT_TRUE(end->publish(prefix + "cmd/run", R"({"request_id":"left-over"})", true));
  startConsole();
  ASSERT_TRUE(consoleAnswering());
  // Anything the broker sent at subscription came before this answer.
  ASSERT_TRUE(end->publish(prefix + "cmd/set_flow", R"({"ml_min":120,"request_id":"live"})"));
  ASSERT_TRUE(AwaitJson(
      *end, prefix + "cmd/result", [](const Json& r) { return r["request_id"] == "live"; }, 5s));
  ASSERT_EQ(endConsole(), 0);

  for (const auto& message : end->receivedOn(prefix + "event")) {
    const Json event = Json::parse(message.payload);
    EXPECT_FALSE(event["event"] == "command" &&
                 event["detail"].get<std::string>().find("R0000") != std::string::npos)
        << "the run frame was written to the line";
  }
  const auto statuses = end->receivedOn(prefix + "status");
  ASSERT_FALSE(statuses.empty());
  EXPECT_EQ(Json::parse(statuses.back().payload)["pump"], "STOP");
}

TEST_F(HeadlessConsole, TenMegabytesOnACommandTopicLeaveItsMemoryAloneAndItStillAnswers) {
  startConsole();
  const long grown = peakGrowthFromTenMegabytes();
  EXPECT_LT(grown, 20 << 10) << "the peak resident memory grew by " << grown << " kB";
}

// An MQTT 3.1.1 broker sends it whole, and libmosquitto holds it twice while
// it reads it; the console copies no more than it needs to refuse it.
TEST_F(HeadlessConsole, TenMegabytesFromAnMqtt311BrokerAreNotCopiedAndItStillAnswers) {
  OldBrokerGate oldBroker(broker.port());
  ASSERT_TRUE(oldBroker.ready());
  startConsole(oldBroker.url());
  const long grown = peakGrowthFromTenMegabytes();
  EXPECT_LT(grown, 25 << 10) << "the peak resident memory grew by " << grown << " kB";
  EXPECT_GE(oldBroker.refusedMqtt5(), 1);
}

// Stopping the service, Ctrl+C or a closed terminal while a timed run goes:
// the pump is stopped before the console ends.
class HeadlessConsoleSignalled : public HeadlessConsole,
                                 public ::testing::WithParamInterface<int> {};

TEST_P(HeadlessConsoleSignalled, DuringATimedRunTheStopGoesOutFirstIsLoggedAndTheLastStatusIsIdle) {
  startConsole();
  ASSERT_TRUE(AwaitJson(
      *end, prefix + "status", [](const Json& s) { return s["link"] == "answering"; }, 10s));
  EXPECT_TRUE(AwaitJson(
      *end, prefix + "event",
      [](const Json& e) { return e["event"] == "link" && e["detail"] == "waiting"; }, 1s))
      << "the line waited for the pump's first answer";
  ASSERT_TRUE(end->publish(prefix + "cmd/timed_run", R"({"minutes":5,"request_id":"t1"})"));
  const auto running = AwaitJson(
      *end, prefix + "status", [](const Json& s) { return s["run"]["state"] == "running"; }, 5s);
  ASSERT_TRUE(running) << "the timed run did not start";
  EXPECT_EQ((*running)["pump"], "RUN") << "the status follows the run frame sent";
  EXPECT_GT((*running)["run"]["seconds_left"], 290);

  std::chrono::milliseconds took{};
  const int status = EndConsole(console, GetParam(), &took);
  console = -1;
  ASSERT_EQ(status, 0) << "did not end cleanly";
  EXPECT_LT(took, 4500ms) << "two seconds at most for the stop, then the broker's farewell";
  std::printf("signal %d to exit, a timed run going: %lld ms\n", GetParam(),
              static_cast<long long>(took.count()));

  // What the console wrote before it ended stays on the line for the pump.
  const auto stopHeard = [&] {
    const std::string heard = heardByThePump();
    const auto run = heard.rfind("Q00R0000Y");
    return run != std::string::npos && heard.find("Q00S0000Y", run) != std::string::npos;
  };
  for (int i = 0; i < 100 && !stopHeard(); ++i) std::this_thread::sleep_for(20ms);
  EXPECT_TRUE(stopHeard()) << "the pump never heard a stop after the run: " << heardByThePump();

  // time,elapsed_s,event,pressure_mpa,flow_ml_min,pressure_limit_mpa,pump,detail
  const auto rows = RunLogLines(home.path());
  const int start = LastLineWith(rows, {",run,", ",RUN,start"});
  const int stop = LastLineWith(rows, {",command,", ",STOP,Q00S0000Y"});
  const int ended = LastLineWith(rows, {",run,", ",STOP,end"});
  const int closed = LastLineWith(rows, {",close,"});
  EXPECT_GE(start, 0) << "the log's pump column follows the run frame";
  EXPECT_GT(stop, start) << "no stop command row after the run's start";
  EXPECT_GT(ended, stop) << "no end step after the stop";
  EXPECT_GT(closed, ended);

  FarEnd late(broker.port(), prefix + "status");
  ASSERT_TRUE(late.ready());
  const auto retained = AwaitJson(
      late, prefix + "status", [](const Json&) { return true; }, 5s);
  ASSERT_TRUE(retained);
  EXPECT_EQ((*retained)["online"], false);
  EXPECT_EQ((*retained)["pump"], "STOP");
  EXPECT_EQ((*retained)["run"]["state"], "idle");
  EXPECT_EQ((*retained)["run"]["seconds_left"], nullptr);
}

INSTANTIATE_TEST_SUITE_P(TermAndHangUp, HeadlessConsoleSignalled,
                         ::testing::Values(SIGTERM, SIGHUP),
                         [](const ::testing::TestParamInfo<int>& signal) {
                           return signal.param == SIGTERM ? "SIGTERM" : "SIGHUP";
                         });

}  // namespace
}  // namespace pump::remote::testing
