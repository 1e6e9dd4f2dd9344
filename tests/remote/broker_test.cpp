#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "tests/remote/station_fixture.h"
#include "tests/support/pump_states.h"

namespace pump::remote::testing {
namespace {

using pump::EventKind;

bool Online(const Json& status) { return status.value("online", false); }

// A program of the most steps with request id "long", as a person or a
// script lays it out: a line a field, four spaces an indent, CR LF line ends.
std::string LongestLaidOutProgram() {
  std::string text =
      "{\r\n    \"request_id\": \"long\",\r\n    \"program\": {\r\n"
      "        \"version\": 1,\r\n        \"name\": \"999 steps\",\r\n"
      "        \"steps\": [\r\n";
  for (int i = 0; i < program::kMaxSteps; ++i) {
    text += std::string(i ? ",\r\n" : "") +
            "            {\r\n                \"seconds\": 360,\r\n"
            "                \"flow_start\": 200,\r\n                \"flow_end\": 200,\r\n"
            "                \"pressure_limit\": 5.0\r\n            }";
  }
  return text + "\r\n        ]\r\n    }\r\n}\r\n";
}

TEST_F(StationOnBroker, ALateSubscriberFindsTheRetainedStatusAsTheDisplayShowsIt) {
  startStation();
  station->onSessionEvent(Event(EventKind::Open, "/dev/ttyUSB0"));
  station->onSessionEvent(Event(EventKind::Link, "answering"));
  station->onSessionEvent(
      Event(EventKind::Reading, "Q00P013Y", pump::testing::Showing("01.3", "02.5", "150", true)));
  window.runFor(200ms);

  FarEnd late(broker.port(), topic("status"));
  ASSERT_TRUE(late.ready());
  const auto status = awaitJson(late, topic("status"),
                                [](const Json& s) { return s.value("pressure_mpa", 0.0) == 1.3; });
  ASSERT_TRUE(status) << "no retained status with the reading";
  EXPECT_TRUE(late.receivedOn(topic("status")).front().retained);
  EXPECT_TRUE(Online(*status));
  EXPECT_EQ((*status)["link"], "answering");
  EXPECT_EQ((*status)["port"], "/dev/ttyUSB0");
  EXPECT_EQ((*status)["pump"], "RUN");
  EXPECT_EQ((*status)["flow_ml_min"], 150.0);
  EXPECT_EQ((*status)["pressure_limit_mpa"], 2.5);
  EXPECT_EQ((*status)["remote_control"], false);
}

TEST_F(StationOnBroker, ReadingsGoToPressureAndEveryOtherEventToEventInOrder) {
  FarEnd end(broker.port(), "pumps/#");
  ASSERT_TRUE(end.ready());
  startStation();
  station->onSessionEvent(Event(EventKind::Open, "sim"));
  station->onSessionEvent(Event(EventKind::Command, "Q00A000Y"));
  for (const char* caption : {"00.4", "00.9", "01.3"}) {
    station->onSessionEvent(
        Event(EventKind::Reading, "Q00P...Y", pump::testing::Showing(caption, "02.0", "000")));
  }
  const session::PumpState afterwards = pump::testing::Showing("01.3", "02.0", "000");
  station->onSessionEvent(Event(EventKind::Link, "no_answer", afterwards));
  station->onSessionEvent(Event(EventKind::Close, "sim", afterwards));

  ASSERT_TRUE(awaitJson(end, topic("event"), [](const Json& e) { return e["event"] == "close"; }));
  std::vector<double> pressures;
  for (const auto& message : end.receivedOn(topic("pressure"))) {
    pressures.push_back(Json::parse(message.payload)["pressure_mpa"].get<double>());
  }
  EXPECT_EQ(pressures, (std::vector<double>{0.4, 0.9, 1.3}));
  std::vector<std::string> events;
  for (const auto& message : end.receivedOn(topic("event"))) {
    events.push_back(Json::parse(message.payload)["event"]);
  }
  EXPECT_EQ(events, (std::vector<std::string>{"open", "command", "link", "close"}));
  const auto last = awaitJson(end, topic("status"), [](const Json& s) {
    return s["link"] == "not_connected" && s["port"].is_null() && s["pressure_mpa"] == 1.3;
  });
  EXPECT_TRUE(last) << "the status did not follow the close";
}

TEST_F(StationOnBroker, AFastStreamSendsEveryPressureButRewritesTheStatusAtMostOnceASecond) {
  FarEnd end(broker.port(), "pumps/#");
  ASSERT_TRUE(end.ready());
  startStation();
  constexpr int kReadings = 500;
  for (int i = 1; i <= kReadings; ++i) {
    const std::string caption =
        (i % 100 < 10 ? "0" : "") + std::to_string(i % 100 / 10) + "." + std::to_string(i % 10);
    station->onSessionEvent(
        Event(EventKind::Reading, "Q00P...Y", pump::testing::Showing(caption, "02.0", "000")));
  }
  window.runUntil([&] { return end.receivedOn(topic("pressure")).size() == kReadings; }, 5s);
  EXPECT_EQ(end.receivedOn(topic("pressure")).size(), static_cast<std::size_t>(kReadings));
  // The status at connect, and the first reading's change of the run state.
  EXPECT_LE(end.receivedOn(topic("status")).size(), 3u);
}

struct CommandCase {
  std::string command;
  std::string payload;
  std::string reachesPump;  // empty when refused
  std::string error;
  std::string statusText;
};

const std::vector<CommandCase> kCommands{
    {"set_flow", R"({"ml_min":150,"request_id":"c1"})", "set_flow 150", "", "● 远程: 设定流量 150"},
    {"set_pressure_limit", R"({"mpa":2.5,"request_id":"c2"})", "set_pressure_limit 2.5", "",
     "● 远程: 设定压力 2.5"},
    {"run", R"({"request_id":"c3"})", "run", "", "● 远程: 运行"},
    {"stop", R"({"request_id":"c4"})", "stop", "", "● 远程: 停止"},
    {"timed_run", R"({"minutes":10,"request_id":"c5"})", "timed_run 10", "",
     "● 远程: 定时运行 10 分钟"},
    {"set_flow", R"({"ml_min":250,"request_id":"c6"})", "", "ml_min must be at most 200",
     "● 远程: set_flow 已拒绝 (ml_min must be at most 200)"},
    {"set_pressure_limit", R"({"mpa":-1,"request_id":"c7"})", "", "mpa must not be negative", ""},
    {"set_flow", R"({"ml_min":"fast","request_id":"c8"})", "", "ml_min must be a number", ""},
    {"timed_run", R"({"request_id":"c9"})", "", "minutes is missing", ""},
    {"run", R"({"request_id":"c10",)", "", "malformed JSON", ""},
    {"explode", R"({"request_id":"c11"})", "", "unknown command", ""},
};

TEST_F(StationOnBroker, EveryCommandGetsExactlyOneResultAndOnlyGoodOnesReachThePump) {
  settings.allowRemoteControl = true;
  FarEnd end(broker.port(), topic("cmd/result"));
  ASSERT_TRUE(end.ready());
  startStation();
  std::vector<std::string> expectedCalls;
  for (const auto& row : kCommands) {
    ASSERT_TRUE(end.publish(topic("cmd/" + row.command), row.payload));
    if (!row.reachesPump.empty()) expectedCalls.push_back(row.reachesPump);
  }
  // The malformed one cannot name its request: its result has a null id.
  window.runUntil([&] { return end.received().size() >= kCommands.size(); }, 5s);
  window.runFor(300ms);  // time for any second answer to show up
  const auto results = end.received();
  ASSERT_EQ(results.size(), kCommands.size());
  FarEnd watcher(broker.port(), topic("status"));  // a board learns who takes commands
  ASSERT_TRUE(watcher.ready());
  const auto status = awaitJson(watcher, topic("status"), [](const Json&) { return true; });
  ASSERT_TRUE(status);
  EXPECT_EQ((*status)["remote_control"], true);
  for (std::size_t i = 0; i < kCommands.size(); ++i) {
    const Json result = Json::parse(results[i].payload);
    const auto& row = kCommands[i];
    EXPECT_EQ(result["ok"], row.error.empty()) << row.payload;
    if (row.error.empty()) {
      EXPECT_FALSE(result.contains("error"));
    } else {
      EXPECT_EQ(result["error"], row.error) << row.payload;
    }
    const Json id = row.error == "malformed JSON" ? Json() : Json("c" + std::to_string(i + 1));
    EXPECT_EQ(result["request_id"], id);
    ASSERT_LT(i, notices.size());
    EXPECT_EQ(notices[i].ok, row.error.empty());
    if (!row.statusText.empty()) {
      EXPECT_EQ(notices[i].statusText, row.statusText);
    }
  }
  EXPECT_EQ(control.calls, expectedCalls);
  EXPECT_EQ(notices[0].requestId, "c1");
  EXPECT_EQ(notices[0].command, "set_flow");
  EXPECT_EQ(notices[0].logDetail, "remote set_flow 150 request_id=c1");
  EXPECT_EQ(notices[5].logDetail,
            "remote set_flow 250 request_id=c6 error=ml_min must be at most 200");
}

// The broker drops what is over the largest packet the console takes: all a
// valid program can be must fit, and a little more gets its refusal.
TEST_F(StationOnBroker, AProgramOfTheMostStepsGetsItsResultAndALargerOneItsRefusal) {
  settings.allowRemoteControl = true;
  FarEnd dashboard(broker.port(), topic("cmd/result"));
  ASSERT_TRUE(dashboard.ready());
  startStation();
  const std::string longest = LongestLaidOutProgram();
  ASSERT_GT(longest.size(), 150'000u);
  ASSERT_TRUE(dashboard.publish(topic("cmd/run_program"), longest));
  ASSERT_TRUE(dashboard.publish(topic("cmd/run_program"), R"({"request_id":"over","program":)" +
                                                              std::string(200'000, ' ') + "}"));
  window.runUntil([&] { return dashboard.received().size() >= 2; }, 5s);
  window.runFor(300ms);  // time for any extra answer to show up

  std::vector<Json> results;
  for (const auto& message : dashboard.received()) results.push_back(Json::parse(message.payload));
  const std::string tooLarge =
      "payload is larger than " + std::to_string(kLargestProgramPayload) + " bytes";
  EXPECT_EQ(results,
            (std::vector<Json>{{{"request_id", "long"}, {"ok", true}},
                               {{"request_id", "over"}, {"ok", false}, {"error", tooLarge}}}));
  EXPECT_EQ(control.calls, (std::vector<std::string>{"run_program 999 steps 999"}));
}

TEST_F(StationOnBroker, WhenTheConsoleSaysNoTheResultCarriesItsReason) {
  settings.allowRemoteControl = true;
  control.refusal = "no port is open";
  FarEnd end(broker.port(), topic("cmd/result"));
  ASSERT_TRUE(end.ready());
  startStation();
  ASSERT_TRUE(end.publish(topic("cmd/run"), R"({"request_id":"r"})"));
  const auto result = awaitJson(end, topic("cmd/result"), [](const Json&) { return true; });
  ASSERT_TRUE(result);
  EXPECT_EQ(*result, (Json{{"request_id", "r"}, {"ok", false}, {"error", "no port is open"}}));
  EXPECT_EQ(control.calls, (std::vector<std::string>{"run"}));
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].statusText, "● 远程: 运行 已拒绝 (no port is open)");
  EXPECT_EQ(notices[0].logDetail, "remote run request_id=r error=no port is open");
}

TEST_F(StationOnBroker, WithRemoteControlOffEveryCommandIsRefusedAndNothingReachesThePump) {
  FarEnd end(broker.port(), topic("cmd/result"));
  ASSERT_TRUE(end.ready());
  startStation();
  for (const auto& row : kCommands) {
    if (row.reachesPump.empty()) continue;
    ASSERT_TRUE(end.publish(topic("cmd/" + row.command), row.payload));
  }
  window.runUntil([&] { return end.received().size() >= 5; }, 5s);
  window.runFor(300ms);
  const auto results = end.received();
  ASSERT_EQ(results.size(), 5u);
  for (const auto& message : results) {
    const Json result = Json::parse(message.payload);
    EXPECT_EQ(result["ok"], false);
    EXPECT_EQ(result["error"], "remote control is off");
  }
  EXPECT_TRUE(control.calls.empty());
}

TEST_F(StationOnBroker, AStopLeavesTheLastStatusRetainedAsOffline) {
  startStation();
  station->onSessionEvent(Event(EventKind::Open, "/dev/ttyS0"));
  window.runFor(100ms);
  station->stop();
  ASSERT_FALSE(states.empty());
  EXPECT_EQ(states.back().state, BrokerState::Disconnected);

  FarEnd late(broker.port(), topic("status"));
  ASSERT_TRUE(late.ready());
  const auto status = awaitJson(late, topic("status"), [](const Json&) { return true; });
  ASSERT_TRUE(status);
  EXPECT_FALSE(Online(*status));
  EXPECT_EQ((*status)["port"], "/dev/ttyS0") << "a clean stop keeps the last state, not the will";
}

// How often each thread of this process has gone to sleep and been woken.
std::map<std::string, long> WakeUpsByThread() {
  std::map<std::string, long> wakeUps;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream status(task.path() / "status");
    for (std::string line; std::getline(status, line);) {
      if (line.starts_with("voluntary_ctxt_switches:")) {
        wakeUps[task.path().filename().string()] = std::stol(line.substr(line.find(':') + 1));
      }
    }
  }
  return wakeUps;
}

TEST_F(StationOnBroker, AnIdleConnectionSleepsYetAReadingStillGoesOutAtOnce) {
  FarEnd end(broker.port(), topic("pressure"));
  ASSERT_TRUE(end.ready());
  const auto threadsBefore = WakeUpsByThread();
  startStation();
  window.runFor(300ms);  // the status at connect has gone out
  const auto atRest = WakeUpsByThread();
  std::this_thread::sleep_for(2s);
  const auto afterwards = WakeUpsByThread();
  long networkWakeUps = 0;
  for (const auto& [thread, count] : atRest) {
    if (!threadsBefore.contains(thread) && afterwards.contains(thread)) {
      networkWakeUps += afterwards.at(thread) - count;
    }
  }
  EXPECT_LE(networkWakeUps, 3) << "the connection's thread woke with nothing to do";

  // A reading alone, with no status change to wake the thread on its own.
  const auto sent = std::chrono::steady_clock::now();
  ASSERT_TRUE(connection->publish({topic("pressure"), R"({"pressure_mpa":1.3})", 0, false}));
  const auto reading = end.waitFor([](const Received&) { return true; }, 2s);
  ASSERT_TRUE(reading) << "the reading never reached the broker";
  EXPECT_LT(std::chrono::steady_clock::now() - sent, 500ms)
      << "the reading waited for a nap to end";
}

}  // namespace
}  // namespace pump::remote::testing
