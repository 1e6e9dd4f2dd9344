#include "remote/json_messages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <regex>

#include "tests/support/pump_states.h"

namespace pump::remote {
namespace {

using Json = nlohmann::json;
using pump::EventKind;
using pump::LinkState;
using session::SessionEvent;

const session::PumpState kShown = pump::testing::Showing("01.3", "02.5", "150", true);

session::SessionEvent Event(EventKind kind, std::string detail, session::PumpState shown = kShown) {
  return pump::testing::ScriptedEvent(kind, std::move(detail), std::move(shown));
}

// Runs a check with the local zone set to `zone`, then puts the old one back.
template <typename Check>
void InZone(const char* zone, Check check) {
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  setenv("TZ", zone, 1);
  tzset();
  check();
  if (old) {
    setenv("TZ", saved.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}

TEST(JsonMessages, TimesAreLocalWithMillisecondsAndTheUtcOffset) {
  // 2026-12-07 06:03:22.517 UTC
  const std::chrono::system_clock::time_point moment{std::chrono::milliseconds(1796623402517)};
  InZone("Asia/Shanghai",
         [&] { EXPECT_EQ(LocalIsoTime(moment), "2026-12-07T14:03:22.517+08:00"); });
  InZone("America/St_Johns",
         [&] { EXPECT_EQ(LocalIsoTime(moment), "2026-12-07T02:33:22.517-03:30"); });
  InZone("UTC", [&] { EXPECT_EQ(LocalIsoTime(moment), "2026-12-07T06:03:22.517+00:00"); });
}

TEST(JsonMessages, StatusCarriesEveryFieldAsNumbersAndNames) {
  StatusTracker tracker("p7", {});
  tracker.apply(Event(EventKind::Open, "/dev/ttyUSB0"));
  tracker.apply(Event(EventKind::Link, "answering"));
  tracker.apply(Event(EventKind::Run, "start"));
  tracker.setSecondsLeft(539.6);
  const Json status = Json::parse(StatusJson(tracker.status()));
  EXPECT_EQ(status["pump_id"], "p7");
  EXPECT_EQ(status["online"], true);
  EXPECT_EQ(status["link"], "answering");
  EXPECT_EQ(status["port"], "/dev/ttyUSB0");
  EXPECT_EQ(status["pump"], "RUN");
  EXPECT_EQ(status["flow_ml_min"], 150.0);
  EXPECT_EQ(status["pressure_limit_mpa"], 2.5);
  EXPECT_EQ(status["pressure_mpa"], 1.3);
  EXPECT_EQ(status["run"], (Json{{"state", "running"}, {"seconds_left", 540}}));
  EXPECT_TRUE(status["conflict"].is_null());
  tracker.setPumpIdInUse(true);
  EXPECT_EQ(Json::parse(StatusJson(tracker.status()))["conflict"],
            "pump id in use by another console");
  EXPECT_TRUE(
      std::regex_match(status["time"].get<std::string>(),
                       std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d)")));
}

TEST(JsonMessages, StatusFollowsTheLinkThePortAndTheTimedRun) {
  StatusTracker tracker("p", pump::testing::Showing("", "", ""));
  auto status = Json::parse(StatusJson(tracker.status()));
  EXPECT_EQ(status["link"], "not_connected");
  EXPECT_TRUE(status["port"].is_null());
  EXPECT_TRUE(status["pressure_mpa"].is_null()) << "an empty caption is no number";
  EXPECT_EQ(status["run"], (Json{{"state", "idle"}, {"seconds_left", nullptr}}));

  tracker.apply(Event(EventKind::Open, "sim"));
  tracker.apply(Event(EventKind::Link, "no_answer"));
  tracker.apply(Event(EventKind::Run, "start"));
  tracker.apply(Event(EventKind::Run, "pause"));
  status = Json::parse(StatusJson(tracker.status()));
  EXPECT_EQ(status["link"], "no_answer");
  EXPECT_EQ(status["run"]["state"], "paused");
  tracker.apply(Event(EventKind::Run, "stop_due"));
  EXPECT_EQ(tracker.status().runState, "stop_pending");
  tracker.apply(Event(EventKind::Run, "stop_sent"));
  tracker.setSecondsLeft(12);
  EXPECT_EQ(tracker.status().runState, "idle");
  EXPECT_FALSE(tracker.status().secondsLeft) << "no time is left of a run that is over";

  tracker.apply(Event(EventKind::Close, "sim"));
  status = Json::parse(StatusJson(tracker.status()));
  EXPECT_EQ(status["link"], "not_connected");
  EXPECT_TRUE(status["port"].is_null());
}

TEST(JsonMessages, StatusCarriesTheProgramUnderWayOrNull) {
  StatusTracker tracker("p", kShown);
  EXPECT_TRUE(Json::parse(StatusJson(tracker.status()))["program"].is_null());
  session::PumpState shown = kShown;
  shown.program =
      session::ProgramProgress{"升流量", session::ProgramRunState::Paused, 2, 5, 661, 3'000};
  tracker.apply(Event(EventKind::Program, "pause", shown));
  const Json status = Json::parse(StatusJson(tracker.status()));
  EXPECT_EQ(status["program"], (Json{{"name", "升流量"},
                                     {"state", "paused"},
                                     {"step", 2},
                                     {"steps", 5},
                                     {"seconds_left", 661}}));
  EXPECT_EQ(status["run"]["state"], "idle") << "the timed run's own keys are unchanged";
  const PumpStatus before = tracker.status();
  shown.program->secondsLeft = 660;
  tracker.apply(Event(EventKind::Reading, "Q00N01.3Y", shown));
  EXPECT_FALSE(before.sameStateAs(tracker.status())) << "a second less is news for the status";
  tracker.apply(Event(EventKind::Program, "end", kShown));
  EXPECT_TRUE(Json::parse(StatusJson(tracker.status()))["program"].is_null());
}

TEST(JsonMessages, PressureEventAndWillMessages) {
  const Json pressure = Json::parse(PressureJson(Event(EventKind::Reading, "Q00P013Y")));
  EXPECT_EQ(pressure.size(), 2u);
  EXPECT_EQ(pressure["pressure_mpa"], 1.3);
  EXPECT_TRUE(pressure["time"].is_string());

  const Json event = Json::parse(EventJson(Event(EventKind::Command, "Q00L0150Y")));
  EXPECT_EQ(event["event"], "command");
  EXPECT_EQ(event["detail"], "Q00L0150Y");
  EXPECT_EQ(event["flow_ml_min"], 150.0);
  EXPECT_EQ(event["pump"], "RUN");

  EXPECT_EQ(Json::parse(LastWillJson("p7", "0a1b")),
            (Json{{"online", false}, {"pump_id", "p7"}, {"instance_id", "0a1b"}}));
}

TEST(JsonMessages, BytesThatAreNotUtf8StillMakeAMessage) {
  const std::string garbled = "Q00\xFF\xFEY";
  const Json event = Json::parse(EventJson(Event(EventKind::Reply, garbled)));
  EXPECT_EQ(event["detail"].get<std::string>().substr(0, 3), "Q00");
}

TEST(JsonMessages, ResultsEchoTheRequestIdAndSayWhyWhenRefused) {
  EXPECT_EQ(Json::parse(ResultJson({R"("r1")", "r1"}, true, "")),
            (Json{{"request_id", "r1"}, {"ok", true}}));
  EXPECT_EQ(Json::parse(ResultJson({"7", "7"}, false, "remote control is off")),
            (Json{{"request_id", 7}, {"ok", false}, {"error", "remote control is off"}}));
  EXPECT_EQ(Json::parse(ResultJson({}, false, "malformed JSON")),
            (Json{{"request_id", nullptr}, {"ok", false}, {"error", "malformed JSON"}}));
}

}  // namespace
}  // namespace pump::remote
