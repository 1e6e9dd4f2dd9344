#include "sim/sim_serial_port.h"

#include <algorithm>

namespace pump::sim {
SimSerialPort::SimSerialPort(std::unique_ptr<Timer> tick, PumpModelSettings pump)
    : tick_(std::move(tick)), pump_(pump) {
  tick_->setInterval(kTickMs);
  tick_->setEnabled(false);
  tick_->setOnTick([this] { Tick(); });
}

SimSerialPort::~SimSerialPort() {
  tick_->setEnabled(false);
  tick_->setOnTick({});
}

std::optional<PortError> SimSerialPort::open(const std::string& device,
                                             const LineSettings& settings) {
  device_ = device;
  lineMatches_ = settings == kPumpLine;
  if (open_) return std::nullopt;
  open_ = true;
  lineFreeAt_ = pump_.now();
  tickEvery(kTickMs);
  tick_->setEnabled(true);
  return std::nullopt;
}

void SimSerialPort::close() {
  open_ = false;
  tick_->setEnabled(false);
  outgoing_.clear();
  // Replies already on their way are lost with the line.
  pump_.discardReplies();
}

// The simulated line always has room.
std::optional<std::size_t> SimSerialPort::write(std::string_view text) {
  if (!open_) return std::nullopt;
  if (text.empty()) return 0;
  if (tickMs_ != kTickMs) pump_.advance(tickMs_ - std::min(tickMs_, tick_->remainingMs()));
  // Each character takes its time on the line; the pump has the text once
  // the last one has arrived.
  const long long start = std::max(pump_.now(), lineFreeAt_);
  const long long transfer =
      (static_cast<long long>(text.size()) * pump_.frameMs() + 8) / static_cast<long long>(9);
  lineFreeAt_ = start + transfer;
  if (lineMatches_) outgoing_.push_back({lineFreeAt_, std::string(text)});
  tickEvery(kTickMs);
  return text.size();
}

void SimSerialPort::Tick() {
  const long long end = pump_.now() + tickMs_;
  while (!outgoing_.empty() && outgoing_.front().arrivesMs <= end) {
    pump_.advance(outgoing_.front().arrivesMs - pump_.now());
    pump_.receive(outgoing_.front().bytes);
    outgoing_.pop_front();
  }
  pump_.advance(end - pump_.now());

  std::string received;
  for (const auto& reply : pump_.takeDueReplies()) {
    if (lineMatches_) received += reply.frame;
  }
  if (!received.empty() && onBytes_) onBytes_(received);
  const bool quiet = outgoing_.empty() && !pump_.nextReplyDue();
  tickEvery(quiet ? kIdleTickMs : kTickMs);
}

void SimSerialPort::tickEvery(int milliseconds) {
  if (milliseconds == tickMs_) return;
  tickMs_ = milliseconds;
  tick_->setInterval(milliseconds);
  // From now, not from the last slow tick: what was written is looked at soon.
  if (tick_->enabled()) {
    tick_->setEnabled(false);
    tick_->setEnabled(true);
  }
}

}  // namespace pump::sim
