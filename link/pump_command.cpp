#include "link/pump_command.h"

#include "link/pump_frame.h"

namespace pump::link {
namespace {

constexpr char kPollLetter = 'F';

}  // namespace

std::optional<PumpCommand> PumpCommand::Setpoint(Kind kind, int address, char letter,
                                                 const std::optional<std::string>& field) {
  if (!field) return std::nullopt;
  auto frame = BuildFrame(address, letter, *field);
  if (!frame) return std::nullopt;
  return PumpCommand(kind, std::move(*frame));
}

std::optional<PumpCommand> PumpCommand::SetFlow(int address, double mlPerMinute) {
  return Setpoint(Kind::SetFlow, address, 'L', FlowField(mlPerMinute));
}

std::optional<PumpCommand> PumpCommand::SetPressureLimit(int address, double megapascals) {
  return Setpoint(Kind::SetPressureLimit, address, 'P', PressureField(megapascals));
}

PumpCommand PumpCommand::Run() { return {Kind::Run, *BuildFrame(kBroadcastAddress, 'R', "0000")}; }
PumpCommand PumpCommand::Stop() {
  return {Kind::Stop, *BuildFrame(kBroadcastAddress, 'S', "0000")};
}
PumpCommand PumpCommand::StatusPoll() {
  return {Kind::StatusPoll, *BuildFrame(kBroadcastAddress, kPollLetter, "0000")};
}

bool IsPollEcho(std::string_view frame) {
  return IsFrame(frame) && FrameKind(frame) == kPollLetter;
}

}  // namespace pump::link
