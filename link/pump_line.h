// The line to the pump: owns the serial port, the reassembly of replies from
// the bytes that arrive and the status poll. Commands go out through it;
// replies come back from it one whole frame at a time, in arrival order.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "link/frame_assembler.h"
#include "link/pump_command.h"
#include "link/pump_reply.h"
#include "platform/serial_port.h"
#include "platform/ui.h"

namespace pump::link {

// 9600 baud, no parity, 8 data bits, 1 stop bit.
inline constexpr LineSettings kPumpLineSettings{};
inline constexpr int kPollIntervalMs = 1500;

enum class SendResult { Sent, NotOpen, WriteFailed };

// Why an open line was given up. The port is closed and the poll stopped by
// the time the handler hears of it.
struct LineFailure {
  enum class Kind { Lost, PollNotWritten };
  Kind kind;
  std::string device;
  std::string reason;  // the system's words, for a lost line
};

class PumpLine {
 public:
  PumpLine(SerialPort& port, Timer& pollTimer);
  PumpLine(const PumpLine&) = delete;
  PumpLine& operator=(const PumpLine&) = delete;

  // Gives up any open line, then opens the device. On success the poll starts
  // and the first poll goes out one interval later.
  std::optional<PortError> open(const std::string& device);
  void close();
  // A line is open and polled.
  bool connected() const { return connected_; }
  std::string device() const { return port_.device(); }

  SendResult send(const PumpCommand& command);

  void setOnReply(std::function<void(const PumpReply&)> onReply) { onReply_ = std::move(onReply); }
  // Told once per open line.
  void setOnFailure(std::function<void(const LineFailure&)> onFailure) {
    onFailure_ = std::move(onFailure);
  }

 private:
  void poll();
  void bytesArrived(std::string_view bytes);
  void fail(LineFailure failure);
  void disconnect();

  SerialPort& port_;
  Timer& pollTimer_;
  FrameAssembler assembler_;
  bool connected_ = false;
  std::function<void(const PumpReply&)> onReply_;
  std::function<void(const LineFailure&)> onFailure_;
};

}  // namespace pump::link
