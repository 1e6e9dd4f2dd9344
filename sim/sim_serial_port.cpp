#include "sim/sim_serial_port.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace pump::sim {
namespace {

// "9600,n,8,1" in the usual MSComm form; nothing when the text is not one.
std::optional<std::string> NormalizedSettings(const std::string& settings) {
  std::istringstream parts(settings);
  std::string baud, parity, data, stop;
  if (!std::getline(parts, baud, ',') || !std::getline(parts, parity, ',') ||
      !std::getline(parts, data, ',') || !std::getline(parts, stop) || baud.empty()) {
    return std::nullopt;
  }
  if (!std::all_of(baud.begin(), baud.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  if (parity.size() != 1 || std::string_view("neomsNEOMS").find(parity[0]) == std::string::npos) {
    return std::nullopt;
  }
  if (data != "5" && data != "6" && data != "7" && data != "8") return std::nullopt;
  if (stop != "1" && stop != "1.5" && stop != "2") return std::nullopt;
  parity[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(parity[0])));
  return std::to_string(std::stol(baud)) + "," + parity + "," + data + "," + stop;
}

}  // namespace

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

std::optional<PortError> SimSerialPort::open() {
  if (open_) return std::nullopt;
  open_ = true;
  lineMatches_ = true;  // a fresh port starts at 9600,n,8,1
  lineFreeAt_ = pump_.now();
  tick_->setEnabled(true);
  return std::nullopt;
}

void SimSerialPort::close() {
  open_ = false;
  tick_->setEnabled(false);
  received_.clear();
  outgoing_.clear();
  // Replies already on their way are lost with the line.
  pump_.discardReplies();
}

bool SimSerialPort::setSettings(const std::string& settings) {
  const auto normalized = NormalizedSettings(settings);
  if (!open_ || !normalized) return false;
  lineMatches_ = *normalized == kPumpLine;
  return true;
}

bool SimSerialPort::output(std::string_view text) {
  if (!open_) return false;
  if (text.empty()) return true;
  // Each character takes its time on the line; the pump has the text once
  // the last one has arrived.
  const long long start = std::max(pump_.now(), lineFreeAt_);
  const long long transfer =
      (static_cast<long long>(text.size()) * pump_.frameMs() + 8) / static_cast<long long>(9);
  lineFreeAt_ = start + transfer;
  if (lineMatches_) outgoing_.push_back({lineFreeAt_, std::string(text)});
  return true;
}

std::string SimSerialPort::input() {
  std::string taken;
  if (inputLen_ > 0 && received_.size() > static_cast<std::size_t>(inputLen_)) {
    taken = received_.substr(0, inputLen_);
    received_.erase(0, inputLen_);
  } else {
    taken.swap(received_);
  }
  return taken;
}

void SimSerialPort::Tick() {
  const long long end = pump_.now() + kTickMs;
  while (!outgoing_.empty() && outgoing_.front().arrivesMs <= end) {
    pump_.advance(outgoing_.front().arrivesMs - pump_.now());
    pump_.receive(outgoing_.front().bytes);
    outgoing_.pop_front();
  }
  pump_.advance(end - pump_.now());

  const std::size_t before = received_.size();
  for (const auto& reply : pump_.takeDueReplies()) {
    if (lineMatches_) received_ += reply.frame;
  }
  if (received_.size() == before) return;
  if (threshold_ > 0 && received_.size() >= static_cast<std::size_t>(threshold_) && onComm_) {
    event_ = CommEvent::Receive;
    onComm_();
    event_ = CommEvent::None;
  }
}

}  // namespace pump::sim
