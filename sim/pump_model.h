// A constant-flow metering pump as seen from its serial line: it keeps a flow
// setpoint, a protective pressure limit and a running flag, answers the
// console's frames and builds up pressure while it runs. Time only moves when
// the owner calls advance(), so a scripted clock drives it deterministically.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "link/frame_assembler.h"

namespace pump::sim {

struct PumpModelSettings {
  int address = 0;             // the pump answers only frames carrying this address
  std::uint32_t seed = 1;      // pressure noise
  int baud = 9600;             // the line's pace: one character is ten bit times
  int turnaroundMs = 20;       // from the end of a command to the start of its reply
  double flow = 0;             // ml/min at power-up
  double pressureLimit = 2.0;  // MPa at power-up
};

// One reply frame and the time its last character has reached the console.
struct PumpReply {
  long long dueMs = 0;
  std::string frame;
};

class PumpModel {
 public:
  static constexpr double kMaxFlow = 200;                // ml/min
  static constexpr double kPressurePerFlow = 4.0 / 200;  // MPa per ml/min at steady state
  static constexpr double kTimeConstantMs = 2000;        // first-order lag of the pressure
  // Sensor noise, either way: a steady floor plus a share of the reading, so
  // a pump at rest reads a clean zero and a loaded one flickers visibly.
  static constexpr double kNoiseFloorMPa = 0.02;
  static constexpr double kNoiseShare = 0.02;
  // A partial command older than this is dropped, as a pump's receiver
  // restarts its frame after a pause on the line.
  static constexpr long long kFrameGapMs = 100;

  explicit PumpModel(PumpModelSettings settings = {});

  // Lets time pass: pressure follows the flow while running, decays when stopped,
  // and the pump stops itself the moment pressure would pass the limit.
  void advance(long long milliseconds);
  long long now() const { return now_; }

  // Bytes from the console, arriving now. Complete frames for this pump are
  // obeyed and answered; anything else is ignored.
  void receive(std::string_view bytes);

  // Replies whose last character has arrived by now, in line order.
  std::vector<PumpReply> takeDueReplies();
  std::optional<long long> nextReplyDue() const;
  // The line was cut: replies on their way reach nobody.
  void discardReplies() { replies_.clear(); }

  // Time one nine-character frame takes on the line, whole milliseconds.
  int frameMs() const { return frameMs_; }

  double flow() const { return flow_; }
  double pressureLimit() const { return limit_; }
  bool running() const { return running_; }
  // The pressure in the pump head, without sensor noise.
  double pressure() const { return pressure_; }
  // The pump stopped itself on the pressure limit and has not been started since.
  bool tripped() const { return tripped_; }

 private:
  void Obey(std::string_view frame);
  void Reply(char letter, std::string_view field);
  double TargetPressure() const;
  double SensorReading();

  PumpModelSettings settings_;
  int frameMs_;
  long long now_ = 0;
  double flow_;
  double limit_;
  bool running_ = false;
  bool tripped_ = false;
  double pressure_ = 0;
  std::mt19937 noise_;
  link::FrameAssembler commands_;
  long long lastByteAt_ = 0;
  std::deque<PumpReply> replies_;
  long long lineFreeAt_ = 0;
};

}  // namespace pump::sim
