#include "link/pump_line.h"

namespace pump::link {

PumpLine::PumpLine(SerialPort& port, Timer& pollTimer) : port_(port), pollTimer_(pollTimer) {
  pollTimer_.setInterval(kPollIntervalMs);
  pollTimer_.setEnabled(false);
  pollTimer_.setOnTick([this] { poll(); });
  port_.setOnBytes([this](std::string_view bytes) { bytesArrived(bytes); });
  port_.setOnLineLost([this](const std::string& reason) {
    // A report for a line already given up is not repeated.
    if (connected_) fail({LineFailure::Kind::Lost, port_.device(), reason});
  });
}

std::optional<PortError> PumpLine::open(const std::string& device) {
  close();
  if (auto error = port_.open(device, kPumpLineSettings)) return error;
  connected_ = true;
  pollTimer_.setEnabled(true);
  return std::nullopt;
}

void PumpLine::close() {
  if (port_.isOpen()) port_.close();
  disconnect();
}

void PumpLine::disconnect() {
  connected_ = false;
  pollTimer_.setEnabled(false);
  assembler_.reset();
}

SendResult PumpLine::send(const PumpCommand& command) {
  if (!port_.isOpen()) return SendResult::NotOpen;
  if (!port_.write(command.frame())) return SendResult::WriteFailed;
  return SendResult::Sent;
}

void PumpLine::poll() {
  if (send(PumpCommand::StatusPoll()) == SendResult::Sent) return;
  fail({LineFailure::Kind::PollNotWritten, port_.device(), {}});
}

// The assembler is settled before the first reply is handed on, so a handler
// that waits on a message box while more bytes arrive finds it consistent.
void PumpLine::bytesArrived(std::string_view bytes) {
  for (std::string& frame : assembler_.take(bytes)) {
    if (onReply_) onReply_(PumpReply{std::move(frame)});
  }
}

void PumpLine::fail(LineFailure failure) {
  port_.close();
  disconnect();
  if (onFailure_) onFailure_(failure);
}

}  // namespace pump::link
