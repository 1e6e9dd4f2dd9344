#include "sim/pump_model.h"

#include <algorithm>
#include <cmath>

#include "link/pump_frame.h"

namespace pump::sim {
namespace {

// Ten bit times per character: start bit, eight data bits, stop bit.
int FrameMilliseconds(int baud) {
  const long long bits = static_cast<long long>(link::kFrameLength) * 10 * 1000;
  return static_cast<int>((bits + baud - 1) / baud);
}

bool AllDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<double> FlowValue(std::string_view field) {
  if (!AllDigits(field)) return std::nullopt;
  return std::stoi(std::string(field));
}

// "dd.d"
std::optional<double> PressureValue(std::string_view field) {
  if (field[2] != '.' || !AllDigits(field.substr(0, 2)) || !AllDigits(field.substr(3))) {
    return std::nullopt;
  }
  return ((field[0] - '0') * 100 + (field[1] - '0') * 10 + (field[3] - '0')) / 10.0;
}

}  // namespace

PumpModel::PumpModel(PumpModelSettings settings)
    : settings_(settings),
      frameMs_(FrameMilliseconds(settings.baud > 0 ? settings.baud : 9600)),
      flow_(settings.flow),
      limit_(settings.pressureLimit),
      noise_(settings.seed) {}

double PumpModel::TargetPressure() const { return running_ ? flow_ * kPressurePerFlow : 0.0; }

void PumpModel::advance(long long milliseconds) {
  if (milliseconds <= 0) return;
  now_ += milliseconds;
  double remaining = static_cast<double>(milliseconds);

  // The pressure follows p' = (target - p) / tau, solved exactly over the step.
  // If it would cross the limit on the way, the pump stops at that instant and
  // the rest of the step is a decay.
  if (running_) {
    const double target = TargetPressure();
    if (pressure_ > limit_) {
      running_ = false;
      tripped_ = true;
    } else if (target > limit_) {
      const double crossing = kTimeConstantMs * std::log((target - pressure_) / (target - limit_));
      if (crossing <= remaining) {
        pressure_ = limit_;
        remaining -= crossing;
        running_ = false;
        tripped_ = true;
      }
    }
  }
  const double target = TargetPressure();
  pressure_ = target + (pressure_ - target) * std::exp(-remaining / kTimeConstantMs);
}

void PumpModel::receive(std::string_view bytes) {
  if (bytes.empty()) return;
  if (now_ - lastByteAt_ > kFrameGapMs) commands_.reset();
  lastByteAt_ = now_;
  commands_.feed(bytes, [this](std::string_view frame) { Obey(frame); });
}

void PumpModel::Obey(std::string_view frame) {
  const int address = (frame[1] - '0') * 10 + (frame[2] - '0');
  if (!AllDigits(frame.substr(1, 2)) || address != settings_.address) return;
  const std::string_view field = frame.substr(4, 4);
  switch (link::FrameKind(frame)) {
    case 'L':
      if (const auto flow = FlowValue(field); flow && *flow <= kMaxFlow) {
        flow_ = *flow;
        Reply('L', *link::FlowField(flow_));
      }
      break;
    case 'P':
      if (const auto limit = PressureValue(field)) {
        limit_ = *limit;
        Reply('P', *link::PressureField(limit_));
      }
      break;
    case 'R':
      running_ = true;
      tripped_ = false;
      Reply('R', "0000");
      break;
    case 'S':
      running_ = false;
      Reply('S', "0000");
      break;
    case 'F':
      Reply('N', *link::PressureField(SensorReading()));
      break;
    default:
      break;  // not a command this pump knows
  }
}

double PumpModel::SensorReading() {
  // Uniform noise from the raw generator output, so a seed gives the same
  // readings with every standard library.
  const double unit = static_cast<double>(noise_()) / 4294967295.0;
  const double reading = pressure_ + (unit * 2 - 1) * (kNoiseFloorMPa + kNoiseShare * pressure_);
  return std::clamp(reading, 0.0, 99.9);
}

void PumpModel::Reply(char letter, std::string_view field) {
  const long long start = std::max(now_ + settings_.turnaroundMs, lineFreeAt_);
  auto frame = link::BuildFrame(settings_.address, letter, field);
  if (!frame) return;  // an address that does not fit two digits cannot be sent
  lineFreeAt_ = start + frameMs_;
  replies_.push_back({lineFreeAt_, std::move(*frame)});
}

std::vector<PumpReply> PumpModel::takeDueReplies() {
  std::vector<PumpReply> due;
  while (!replies_.empty() && replies_.front().dueMs <= now_) {
    due.push_back(std::move(replies_.front()));
    replies_.pop_front();
  }
  return due;
}

std::optional<long long> PumpModel::nextReplyDue() const {
  if (replies_.empty()) return std::nullopt;
  return replies_.front().dueMs;
}

}  // namespace pump::sim
