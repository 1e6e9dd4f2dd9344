// A remote station on a real broker, with the test's thread as the window's
// thread and a far end subscribed to everything under the pump's prefix.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "remote/mosquitto_connection.h"
#include "remote/remote_station.h"
#include "tests/remote/far_end.h"
#include "tests/support/pump_states.h"
#include "tests/support/test_broker.h"

namespace pump::remote::testing {

using pump::testing::TestBroker;
using namespace std::chrono_literals;
using Json = nlohmann::json;

// Records what reaches the pump; a test that needs the console to say no
// sets `refusal`.
class RecordingControl : public session::PumpCommands {
 public:
  session::CommandResult setFlow(double value) override {
    return record("set_flow " + ShortNumber(value));
  }
  session::CommandResult setPressureLimit(double value) override {
    return record("set_pressure_limit " + ShortNumber(value));
  }
  session::CommandResult run() override { return record("run"); }
  session::CommandResult stop() override { return record("stop"); }
  session::CommandResult timedRun(double minutes) override {
    return record("timed_run " + ShortNumber(minutes));
  }
  std::optional<double> timedRunSecondsLeft() const override { return secondsLeft; }
  session::CommandResult startProgram(const program::Program& program) override {
    return record("run_program " + program.name + " " + std::to_string(program.steps.size()));
  }
  session::CommandResult pauseProgram() override { return record("pause_program"); }
  session::CommandResult continueProgram() override { return record("continue_program"); }
  session::CommandResult abortProgram() override { return record("abort_program"); }

  std::vector<std::string> calls;
  std::string refusal;
  std::optional<double> secondsLeft;

 private:
  session::CommandResult record(std::string call) {
    calls.push_back(std::move(call));
    return refusal.empty() ? session::CommandResult::Done()
                           : session::CommandResult::Refused(refusal);
  }
};

inline const session::PumpState kStartUp = pump::testing::Showing("00.0", "02.0", "000");

inline session::SessionEvent Event(pump::EventKind kind, std::string detail,
                                   session::PumpState shown = kStartUp) {
  return pump::testing::ScriptedEvent(kind, std::move(detail), std::move(shown));
}

class StationOnBroker : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const auto why = TestBroker::MissingReason()) GTEST_SKIP() << *why;
    ASSERT_TRUE(broker.start()) << "the test broker did not start";
    settings.brokerUrl = broker.url();
    settings.pumpId = "bench-1";
  }

  // Starts the station and waits until it is connected.
  void startStation() {
    connection = std::make_unique<MosquittoConnection>(
        settings, [this](std::function<void()> task) { window.post(std::move(task)); });
    RemoteStationHooks hooks;
    hooks.brokerStatusChanged = [this](const BrokerStatus& status) { states.push_back(status); };
    hooks.commandHandled = [this](const RemoteCommandNotice& notice) { notices.push_back(notice); };
    station = std::make_unique<RemoteStation>(settings, *connection, control, hooks, kStartUp);
    station->start();
    ASSERT_TRUE(connected(5s)) << "the station did not connect";
  }

  bool connected(std::chrono::milliseconds within) {
    return window.runUntil(
        [this] { return station->brokerStatus().state == BrokerState::Connected; }, within);
  }

  // Keeps the window's thread turning until the far end has a matching message.
  std::optional<Json> awaitJson(FarEnd& end, const std::string& topic,
                                const std::function<bool(const Json&)>& match,
                                std::chrono::milliseconds within = 5s) {
    std::optional<Json> found;
    window.runUntil(
        [&] {
          for (const auto& message : end.receivedOn(topic)) {
            const Json json = Json::parse(message.payload, nullptr, false);
            if (!json.is_discarded() && match(json)) {
              found = json;
              return true;
            }
          }
          return false;
        },
        within);
    return found;
  }

  std::string topic(const std::string& leaf) const { return "pumps/bench-1/" + leaf; }

  WindowThread window;
  TestBroker broker;
  RemoteSettings settings;
  RecordingControl control;
  std::vector<BrokerStatus> states;
  std::vector<RemoteCommandNotice> notices;
  std::unique_ptr<MosquittoConnection> connection;
  std::unique_ptr<RemoteStation> station;
};

}  // namespace pump::remote::testing
