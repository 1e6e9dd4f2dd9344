#include "link/pump_line.h"

#include <algorithm>
#include <utility>

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
  watchTimer_.setEnabled(false);
  watchTimer_.setOnTick([this] { watch(); });
  port_.setOnBytes([this](std::string_view bytes) { bytesArrived(bytes); });
  port_.setOnRoom([this] { sendWaiting(); });
  port_.setOnLineLost([this](const std::string& reason) {
    // A report for a line already given up is not repeated.
    if (connected_) fail({LineFailure::Kind::Lost, device_, reason});
  });
}

std::optional<PortError> PumpLine::open(const std::string& device, OpenRetry retry) {
  close();
  device_ = device;
  if (auto error = port_.open(device, kPumpLineSettings)) {
    if (retry == OpenRetry::UntilOpen) {
      firstOpenDue_ = true;
      reopenName_ = device;
      armWatch(kReconnectEveryMs);
    }
    return error;
  }
  followStableName();
  startLine();
  return std::nullopt;
}

// A name that can change when an adapter comes back is followed through
// the adapter's stable name, looked up now while it points at the adapter.
void PumpLine::followStableName() {
  const auto stable = stableName_ ? stableName_(device_) : std::nullopt;
  reopenName_ = stable.value_or(device_);
}

bool PumpLine::isOnPort(const std::string& device) const {
  if (device_.empty()) return false;
  if (device == device_ || device == reopenName_) return true;
  const auto stable = stableName_ ? stableName_(device) : std::nullopt;
  return stable && *stable == reopenName_;
}

// Frames still waiting mean the pump stopped reading: what sits unsent in the
// line's buffer is stale by now, and may end in a partial frame.
void PumpLine::close() {
  if (port_.isOpen() && !outgoing_.empty()) port_.discardUnsent();
  if (port_.isOpen()) port_.close();
  stopLine();
  stopWatch();
  firstOpenDue_ = false;
  state_ = LinkState::NotConnected;
}

void PumpLine::startLine() {
  connected_ = true;
  notReadingTold_ = false;
  lastAnswer_ = now();
  shownSeconds_ = 0;
  pollTimer_.setEnabled(true);
  stopWatch();
  state_ = LinkState::Waiting;
}

void PumpLine::stopLine() {
  connected_ = false;
  pollTimer_.setEnabled(false);
  assembler_.reset();
  outgoing_.clear();
}

int PumpLine::secondsWithoutAnswer() const {
  if (!connected_) return 0;
  return static_cast<int>(duration_cast<milliseconds>(now() - lastAnswer_).count() / 1000);
}

// Nothing overtakes a waiting frame; a frame the line took only in part is
// finished before anything else goes.
SendResult PumpLine::send(const PumpCommand& command) {
  if (!connected_ || !port_.isOpen()) return SendResult::NotOpen;
  if (!outgoing_.empty()) return queue(command, 0);
  const auto taken = port_.write(command.frame());
  if (!taken) return SendResult::WriteFailed;
  if (*taken == command.frame().size()) return SendResult::Sent;
  return queue(command, *taken);
}

// A poll that finds one waiting already is dropped: the waiting one asks the
// same. A stop goes ahead of what waits, and is never refused.
SendResult PumpLine::queue(const PumpCommand& command, std::size_t alreadySent) {
  const bool wasReading = outgoing_.empty();
  const OutgoingFrames::Added added = outgoing_.add(command, alreadySent);
  if (added.outcome == OutgoingFrames::Outcome::Refused) return SendResult::QueueFull;
  for (const std::string& frame : added.stale) {
    if (onStale_) onStale_(frame);
  }
  if (wasReading) {
    if (onWatch_) onWatch_();
    if (!notReadingTold_ && onNotReading_) {
      notReadingTold_ = true;
      onNotReading_();
    }
  }
  return SendResult::Queued;
}

// The line has room again: the waiting frames go out in order, as far as it
// takes them.
void PumpLine::sendWaiting() {
  if (!connected_ || outgoing_.empty()) return;
  while (!outgoing_.empty()) {
    const std::size_t left = outgoing_.unsent().size();
    const auto taken = port_.write(outgoing_.unsent());
    if (!taken) {
      fail({LineFailure::Kind::Lost, device_, "write failed"});
      return;
    }
    outgoing_.taken(*taken);
    if (*taken < left) return;  // full again: the port tells when there is room
  }
  if (onWatch_) onWatch_();
}

// A full line is no failure: the poll waits (or is dropped) like any frame.
// Waiting frames are tried first in case the room report was missed.
void PumpLine::poll() {
  sendWaiting();
  if (!connected_) return;
  const SendResult result = send(PumpCommand::StatusPoll());
  if (result == SendResult::NotOpen || result == SendResult::WriteFailed) {
    fail({LineFailure::Kind::PollNotWritten, device_, {}});
    return;
  }
  checkSilence();
}

// While the pump answers (or has yet to), each poll looks whether the 4.5 s
// without a valid frame will be up before the next poll, and only then sets
// the watch for that moment. A pump answering every poll never gets that far.
void PumpLine::checkSilence() {
  if (!connected_ || (state_ != LinkState::Answering && state_ != LinkState::Waiting)) return;
  const auto silentFor = duration_cast<milliseconds>(now() - lastAnswer_).count();
  if (silentFor >= kNoAnswerAfterMs) {
    shownSeconds_ = secondsWithoutAnswer();
    // The count goes up half way between whole seconds, clear of either edge.
    armWatch(static_cast<int>(kCountEveryMs - (silentFor + kCountEveryMs / 2) % kCountEveryMs));
    setState(LinkState::NoAnswer);
  } else if (kNoAnswerAfterMs - silentFor < kPollIntervalMs) {
    armWatch(static_cast<int>(kNoAnswerAfterMs - silentFor));
  }
}

void PumpLine::watch() {
  if (!connected_) {
    tryReconnect();
  } else if (state_ == LinkState::Answering || state_ == LinkState::Waiting) {
    checkSilence();
  } else if (state_ == LinkState::NoAnswer) {
    if (watchTimer_.interval() != kCountEveryMs) armWatch(kCountEveryMs);
    const int seconds = secondsWithoutAnswer();
    if (seconds == shownSeconds_) return;
    shownSeconds_ = seconds;
    if (onWatch_) onWatch_();
  }
}

// A full interval from now, whatever the watch was doing.
void PumpLine::armWatch(int afterMs) {
  watchTimer_.setEnabled(false);
  watchTimer_.setInterval(std::max(afterMs, 1));
  watchTimer_.setEnabled(true);
}

void PumpLine::stopWatch() {
  if (watchTimer_.enabled()) watchTimer_.setEnabled(false);
}

// A device never opened stays not connected while it is tried: there is no
// lost line to reconnect.
void PumpLine::tryReconnect() {
  if (!firstOpenDue_) setState(LinkState::Reconnecting);
  if (const auto error = port_.open(reopenName_, kPumpLineSettings)) {
    if (onTryFailed_) onTryFailed_(*error);
    return;
  }
  const bool firstOpen = std::exchange(firstOpenDue_, false);
  if (firstOpen) followStableName();
  startLine();
  if (onReconnected_) onReconnected_(firstOpen);
}

// The assembler is settled before the first reply is handed on, so it is
// consistent whatever a reply's handler does.
void PumpLine::bytesArrived(std::string_view bytes) {
  std::vector<std::string> frames = assembler_.take(bytes);
  // The line echoing the poll back is no sign of a pump on it.
  const bool pumpAnswered = std::any_of(
      frames.begin(), frames.end(), [](const std::string& frame) { return !IsPollEcho(frame); });
  if (pumpAnswered && connected_) {
    lastAnswer_ = now();
    stopWatch();
    if (state_ != LinkState::Answering) setState(LinkState::Answering);
  }
  for (std::string& frame : frames) {
    if (onReply_) onReply_(PumpReply{std::move(frame)});
  }
}

// The watch reopens the line every two seconds from now.
void PumpLine::fail(LineFailure failure) {
  failure.stopUnsent = outgoing_.holdsStop();
  port_.close();
  stopLine();
  armWatch(kReconnectEveryMs);
  state_ = LinkState::Lost;
  if (onFailure_) onFailure_(failure);
}

void PumpLine::setState(LinkState state) {
  if (state == state_) return;
  state_ = state;
  if (onWatch_) onWatch_();
}

}  // namespace pump::link
