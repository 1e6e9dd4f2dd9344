// Typed pump commands: the one place that turns an intent into a frame. A
// command that cannot be written (an address beyond two digits, a value with
// no four-character field) is never made.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pump::link {

// Run and stop always go to pump "00"; so do the setpoint dialogs.
inline constexpr int kBroadcastAddress = 0;

class PumpCommand {
 public:
  enum class Kind { SetFlow, SetPressureLimit, Run, Stop, StatusPoll };

  // Flow in ml/min, as a whole number (150.5 -> "0151").
  static std::optional<PumpCommand> SetFlow(int address, double mlPerMinute);
  // Pressure limit in MPa, one decimal, always with "." (2.45 -> "02.5").
  static std::optional<PumpCommand> SetPressureLimit(int address, double megapascals);
  static PumpCommand Run();
  static PumpCommand Stop();
  static PumpCommand StatusPoll();

  Kind kind() const { return kind_; }
  // The nine characters that go on the line.
  const std::string& frame() const { return frame_; }

 private:
  PumpCommand(Kind kind, std::string frame) : kind_(kind), frame_(std::move(frame)) {}
  static std::optional<PumpCommand> Setpoint(Kind kind, int address, char letter,
                                             const std::optional<std::string>& field);

  Kind kind_;
  std::string frame_;
};

// A frame with the status poll's letter is the line echoing the poll back:
// the pump answers a poll with its pressure, never with the poll's letter.
bool IsPollEcho(std::string_view frame);

}  // namespace pump::link
