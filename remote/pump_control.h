// What a remote command may ask of the console. The console implements it
// with the operator's own rules and typed commands, so a remote setpoint is
// checked, sent and shown exactly as one typed in a dialog.
#pragma once

#include <optional>
#include <string>

namespace pump::remote {

struct ControlResult {
  bool ok = true;
  std::string refusal;  // why not, when !ok: the operator's text (UTF-8)
  std::string reason;   // the same in plain ASCII for the run log; empty: `refusal` is

  static ControlResult Done() { return {}; }
  static ControlResult Refused(std::string why, std::string asciiWhy = {}) {
    return {false, std::move(why), std::move(asciiWhy)};
  }
};

// Called on the window's thread. Values have already passed the range checks
// in remote_command.h; an implementation refuses what it cannot do now (for
// example no port open, or the frame could not be written).
class PumpControl {
 public:
  virtual ~PumpControl() = default;
  virtual ControlResult setFlow(double mlPerMinute) = 0;
  virtual ControlResult setPressureLimit(double megapascals) = 0;
  virtual ControlResult run() = 0;
  virtual ControlResult stop() = 0;
  virtual ControlResult timedRun(double minutes) = 0;
  // Seconds until the timed run's end falls due, while one is being timed.
  virtual std::optional<double> timedRunSecondsLeft() const = 0;
};

}  // namespace pump::remote
