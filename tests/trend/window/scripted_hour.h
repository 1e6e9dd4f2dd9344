// An hour of a pump session told through the console's event feed, ending
// now: a run, a limit change, a spike, a two-minute link loss, a stop.
#pragma once

#include <chrono>
#include <cmath>
#include <string>

#include "session/session_events.h"
#include "tests/support/pump_states.h"

namespace pump::trend::testing {

using namespace std::chrono_literals;

struct ScriptedHour {
  static constexpr auto kLength = 60min;
  static constexpr auto kLinkLost = 30min;
  static constexpr auto kLinkBack = 32min;
  static constexpr auto kSpike = 20min;

  session::EventFeed& feed;
  std::chrono::steady_clock::time_point steadyStart = std::chrono::steady_clock::now() - kLength;
  std::chrono::system_clock::time_point wallStart = std::chrono::system_clock::now() - kLength;
  session::PumpState shown = pump::testing::Showing("00.0", "02.5", "000");

  void at(std::chrono::milliseconds after, pump::EventKind kind, std::string detail) {
    feed.publish({kind, std::move(detail), shown, wallStart + after, steadyStart + after});
  }

  static std::string Caption(double mpa) {
    char text[8];
    std::snprintf(text, sizeof text, "%04.1f", mpa);
    return text;
  }

  double pressureAt(std::chrono::milliseconds t) const {
    const double minutes = t.count() / 60'000.0;
    if (!shown.pumpCommandedRunning) return std::max(0.0, 0.3 - minutes * 0.001);
    const double target = shown.flowSetpoint.characters == "200" ? 3.1 : 1.9;
    return target + 0.08 * std::sin(minutes * 3);
  }

  void step(std::chrono::milliseconds t) {
    using pump::EventKind;
    if (t == 5min)
      shown.flowSetpoint = pump::Flow::Read("120"), at(t, EventKind::Command, "Q00S120Y");
    if (t == 5min + 3s) {
      shown.pumpCommandedRunning = true;
      at(t, EventKind::Command, "Q00RUNY");
    }
    if (t == 34min)
      shown.pressureLimit = pump::Pressure::Read("04.0"), at(t, EventKind::Command, "Q00P040Y");
    if (t == 35min)
      shown.flowSetpoint = pump::Flow::Read("200"), at(t, EventKind::Command, "Q00S200Y");
    if (t == 50min) {
      shown.pumpCommandedRunning = false;
      at(t, EventKind::Command, "Q00STOPY");
    }
    if (t == kLinkLost) at(t, EventKind::Link, "lost");
    if (t == kLinkLost + 3s) at(t, EventKind::Link, "reconnecting");
    if (t == kLinkBack) at(t, EventKind::Link, "answering");
    if (t > kLinkLost && t < kLinkBack) return;
    const double mpa = t == kSpike ? 4.6 : pressureAt(t);
    shown.currentPressure = pump::Pressure::Read(Caption(mpa));
    at(t, EventKind::Reading, "Q00N" + shown.currentPressure.characters + "Y");
  }

  void play() {
    at(0ms, pump::EventKind::Open, "/dev/ttyS0");
    at(10ms, pump::EventKind::Link, "answering");
    for (std::chrono::milliseconds t = 1500ms; t <= kLength; t += 1500ms) step(t);
  }
};

}  // namespace pump::trend::testing
