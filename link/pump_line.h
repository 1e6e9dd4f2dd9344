// The line to the pump: owns the serial port, the reassembly of replies from
// the bytes that arrive, the status poll and the watch over the line. Commands
// go out through it; replies come back from it one whole frame at a time, in
// arrival order. A line that fails is reopened every two seconds by the name
// it was opened with (or its adapter's stable name) until the operator opens
// another port or closes the window. A pump that stops reading is no lost
// line: what the line cannot take waits in a small queue, whole frames only.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "link/frame_assembler.h"
#include "link/outgoing_frames.h"
#include "link/pump_command.h"
#include "link/pump_reply.h"
#include "platform/serial_port.h"
#include "platform/ui.h"
#include "vocabulary/link_state.h"
#include "vocabulary/monotonic_clock.h"

namespace pump::link {

// 9600 baud, no parity, 8 data bits, 1 stop bit.
inline constexpr LineSettings kPumpLineSettings{};
inline constexpr int kPollIntervalMs = 1500;
// No valid frame for three poll periods: the pump is not answering.
inline constexpr int kNoAnswerAfterMs = 3 * kPollIntervalMs;
inline constexpr int kReconnectEveryMs = 2000;
// How often the seconds without an answer are counted, while there is none.
inline constexpr int kCountEveryMs = 1000;

enum class SendResult {
  Sent,       // on the line
  Queued,     // the pump is not reading: it goes out, in order, once it reads again
  QueueFull,  // the pump is not reading and enough commands wait: not sent (never a stop)
  NotOpen,
  WriteFailed,
};

// The command will reach the line: sent now or waiting in order.
inline bool Accepted(SendResult result) {
  return result == SendResult::Sent || result == SendResult::Queued;
}

// What open() does with a device that cannot be opened now.
enum class OpenRetry {
  No,         // the caller hears why, and the line stays closed
  UntilOpen,  // and it is tried again by its name every two seconds, as a lost line is
};

// Why an open line was given up. The port is closed and the poll stopped by
// the time the handler hears of it; reconnecting has begun.
struct LineFailure {
  enum class Kind { Lost, PollNotWritten };
  Kind kind;
  std::string device;
  std::string reason;       // the system's words, for a lost line
  bool stopUnsent = false;  // a stop was waiting for the pump to read
};

// Where a device that may come back under another name is found again.
using StableNameFinder = std::function<std::optional<std::string>(const std::string& device)>;

struct PumpLineServices {
  SerialPort& port;
  Timer& pollTimer;
  // Runs only while the pump may be falling silent, is silent, or the line is
  // lost: a pump that answers wakes the console for the poll and its replies alone.
  Timer& watchTimer;
  const MonotonicClock& clock;
  StableNameFinder stableName;  // none: reopen by the name as given
};

class PumpLine {
 public:
  explicit PumpLine(PumpLineServices services);
  PumpLine(const PumpLine&) = delete;
  PumpLine& operator=(const PumpLine&) = delete;

  // Gives up any open line, then opens the device. On success the poll starts
  // and the first poll goes out one interval later.
  std::optional<PortError> open(const std::string& device, OpenRetry retry = OpenRetry::No);
  // Closes the line and stops reconnecting.
  void close();
  // A line is open and polled.
  bool connected() const { return connected_; }
  // The device as the operator named it.
  const std::string& device() const { return device_; }
  // `device` is the port this line was opened on: the same name, or the same
  // adapter found by its stable name.
  bool isOnPort(const std::string& device) const;
  LinkState state() const { return state_; }
  // No line is open, and one is tried every two seconds.
  bool retrying() const { return !connected_ && watchTimer_.enabled(); }
  // Whole seconds since the last valid frame (or the open), while connected.
  int secondsWithoutAnswer() const;
  // The line is full because the pump stopped reading; frames are waiting.
  bool notReading() const { return connected_ && !outgoing_.empty(); }
  // A stop waits for the pump to read (and goes if the line is given up).
  bool holdsUnsentStop() const { return outgoing_.holdsStop(); }
  // Every frame handed to the line has been written to the port; the
  // port's own output buffer may still hold some.
  bool allWritten() const { return connected_ && outgoing_.empty(); }
  // Nothing written to the port is still waiting to leave it.
  bool portDrained() const { return connected_ && port_.outputDrained(); }

  SendResult send(const PumpCommand& command);

  // Runs inside the port's byte handler: it must not wait for the operator,
  // or no later reply is handled until it returns.
  void setOnReply(std::function<void(const PumpReply&)> onReply) { onReply_ = std::move(onReply); }
  // Told once per open line.
  void setOnFailure(std::function<void(const LineFailure&)> onFailure) {
    onFailure_ = std::move(onFailure);
  }
  // The line opened by itself: a lost line came back, or (`firstOpen`) a
  // device that could not be opened at first has been.
  void setOnReconnected(std::function<void(bool firstOpen)> onBack) {
    onReconnected_ = std::move(onBack);
  }
  // A try to open the line again, or at last, failed; told on every try.
  void setOnTryFailed(std::function<void(const PortError&)> onTryFailed) {
    onTryFailed_ = std::move(onTryFailed);
  }
  // The watch saw the state, or the seconds without an answer, change. An
  // open, a close, a failure and a reconnect are told through their own
  // calls and handlers instead.
  void setOnWatch(std::function<void()> onWatch) { onWatch_ = std::move(onWatch); }
  // The pump stopped reading: told once per open line, after the watch has
  // heard of it. The watch also hears when the waiting frames have gone out.
  void setOnNotReading(std::function<void()> onNotReading) {
    onNotReading_ = std::move(onNotReading);
  }
  // A run or flow still waiting when a stop was sent: the stop went ahead of
  // it and it was dropped, unsent. Told once for each such frame, before the
  // stop's send returns.
  void setOnStale(std::function<void(const std::string& frame)> onStale) {
    onStale_ = std::move(onStale);
  }

 private:
  void poll();
  void watch();
  void checkSilence();
  void armWatch(int afterMs);
  void stopWatch();
  void tryReconnect();
  void bytesArrived(std::string_view bytes);
  SendResult queue(const PumpCommand& command, std::size_t alreadySent);
  void sendWaiting();
  void fail(LineFailure failure);
  void followStableName();
  void startLine();
  void stopLine();
  void setState(LinkState state);
  std::chrono::steady_clock::time_point now() const { return clock_.monotonicNow(); }

  SerialPort& port_;
  Timer& pollTimer_;
  Timer& watchTimer_;
  const MonotonicClock& clock_;
  StableNameFinder stableName_;
  FrameAssembler assembler_;
  OutgoingFrames outgoing_;
  bool notReadingTold_ = false;
  bool connected_ = false;
  bool firstOpenDue_ = false;  // the device has not opened yet, and is being tried
  LinkState state_ = LinkState::NotConnected;
  std::string device_;      // as the operator gave it
  std::string reopenName_;  // what a reconnect opens
  std::chrono::steady_clock::time_point lastAnswer_{};
  int shownSeconds_ = 0;
  std::function<void(const PumpReply&)> onReply_;
  std::function<void(const LineFailure&)> onFailure_;
  std::function<void(bool firstOpen)> onReconnected_;
  std::function<void(const PortError&)> onTryFailed_;
  std::function<void()> onWatch_;
  std::function<void()> onNotReading_;
  std::function<void(const std::string&)> onStale_;
};

}  // namespace pump::link
