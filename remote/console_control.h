// Remote commands carried out by the console itself, with the operator's
// rules: the same checks, the same typed commands, the same display.
#pragma once

#include "console/main_window.h"
#include "remote/pump_control.h"

namespace pump::remote {

class ConsoleControl : public PumpControl {
 public:
  explicit ConsoleControl(console::MainWindow& window) : window_(window) {}

  ControlResult setFlow(double mlPerMinute) override {
    return From(window_.remoteSetFlow(mlPerMinute));
  }
  ControlResult setPressureLimit(double megapascals) override {
    return From(window_.remoteSetPressureLimit(megapascals));
  }
  ControlResult run() override { return From(window_.remoteRun()); }
  ControlResult stop() override { return From(window_.remoteStop()); }
  ControlResult timedRun(double minutes) override { return From(window_.remoteTimedRun(minutes)); }
  std::optional<double> timedRunSecondsLeft() const override {
    return window_.timedRunSecondsLeft();
  }

 private:
  static ControlResult From(const console::RemoteResult& result) {
    return result.ok ? ControlResult::Done()
                     : ControlResult::Refused(result.refusal, result.reason);
  }

  console::MainWindow& window_;
};

}  // namespace pump::remote
