#include "link/pump_line.h"

namespace pump::link {

using std::chrono::duration_cast;
using std::chrono::milliseconds;

PumpLine::PumpLine(PumpLineServices services)
    : port_(services.port),
      pollTimer_(services.pollTimer),
      watchTimer_(services.watchTimer),
      clock_(services.clock),
      stableName_(std::move(services.stableName)) {
  pollTimer_.setInterval(kPollIntervalMs);
  pollTimer_.setEnabled(false);
  pollTimer_.setOnTick([this] { poll(); });
  watchTimer_.setInterval(kWatchIntervalMs);
  watchTimer_.setEnabled(false);
  watchTimer_.setOnTick([this] { watch(); });
  port_.setOnBytes([this](std::string_view bytes) { bytesArrived(bytes); });
  port_.setOnLineLost([this](const std::string& reason) {
    // A report for a line already given up is not repeated.
    if (connected_) fail({LineFailure::Kind::Lost, device_, reason});
  });
}

std::optional<PortError> PumpLine::open(const std::string& device) {
  close();
  device_ = device;
  if (auto error = port_.open(device, kPumpLineSettings)) return error;
  // A name that can change when an adapter comes back is followed through
  // the adapter's stable name, looked up now while it points at the adapter.
  const auto stable = stableName_ ? stableName_(device) : std::nullopt;
  reopenName_ = stable.value_or(device);
  startLine();
  return std::nullopt;
}

void PumpLine::close() {
  if (port_.isOpen()) port_.close();
  stopLine();
  watchTimer_.setEnabled(false);
  state_ = LinkState::NotConnected;
}

void PumpLine::startLine() {
  connected_ = true;
  lastAnswer_ = now();
  shownSeconds_ = 0;
  pollTimer_.setEnabled(true);
  watchTimer_.setEnabled(true);
  state_ = LinkState::Answering;
}

void PumpLine::stopLine() {
  connected_ = false;
  pollTimer_.setEnabled(false);
  assembler_.reset();
}

int PumpLine::secondsWithoutAnswer() const {
  if (!connected_) return 0;
  return static_cast<int>(duration_cast<milliseconds>(now() - lastAnswer_).count() / 1000);
}

SendResult PumpLine::send(const PumpCommand& command) {
  if (!connected_ || !port_.isOpen()) return SendResult::NotOpen;
  if (!port_.write(command.frame())) return SendResult::WriteFailed;
  return SendResult::Sent;
}

void PumpLine::poll() {
  if (send(PumpCommand::StatusPoll()) == SendResult::Sent) return;
  fail({LineFailure::Kind::PollNotWritten, device_, {}});
}

void PumpLine::watch() {
  if (!connected_) {
    if (now() - lastAttempt_ >= milliseconds(kReconnectEveryMs)) tryReconnect();
    return;
  }
  const bool silent = now() - lastAnswer_ >= milliseconds(kNoAnswerAfterMs);
  const int seconds = secondsWithoutAnswer();
  const bool changed =
      silent != (state_ == LinkState::NoAnswer) || (silent && seconds != shownSeconds_);
  shownSeconds_ = seconds;
  if (silent != (state_ == LinkState::NoAnswer)) {
    setState(silent ? LinkState::NoAnswer : LinkState::Answering);
  } else if (changed && onWatch_) {
    onWatch_();
  }
}

void PumpLine::tryReconnect() {
  lastAttempt_ = now();
  setState(LinkState::Reconnecting);
  if (port_.open(reopenName_, kPumpLineSettings)) return;  // not back yet
  startLine();
  if (onReconnected_) onReconnected_();
}

// The assembler is settled before the first reply is handed on, so a handler
// that waits on a message box while more bytes arrive finds it consistent.
void PumpLine::bytesArrived(std::string_view bytes) {
  std::vector<std::string> frames = assembler_.take(bytes);
  if (!frames.empty() && connected_) {
    lastAnswer_ = now();
    if (state_ == LinkState::NoAnswer) setState(LinkState::Answering);
  }
  for (std::string& frame : frames) {
    if (onReply_) onReply_(PumpReply{std::move(frame)});
  }
}

// The watch goes on: it reopens the line every two seconds from now.
void PumpLine::fail(LineFailure failure) {
  port_.close();
  stopLine();
  lastAttempt_ = now();
  watchTimer_.setEnabled(true);
  state_ = LinkState::Lost;
  if (onFailure_) onFailure_(failure);
}

void PumpLine::setState(LinkState state) {
  if (state == state_) return;
  state_ = state;
  if (onWatch_) onWatch_();
}

}  // namespace pump::link
