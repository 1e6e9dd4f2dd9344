#include "sim/port_switch.h"

#include "link/port_name.h"

namespace pump::sim {

SwitchingSerialPort::SwitchingSerialPort(SerialPort& device, SerialPort& simulated)
    : device_(device), simulated_(simulated), active_(&device) {}

std::optional<PortError> SwitchingSerialPort::open(const std::string& device,
                                                   const LineSettings& settings) {
  SerialPort* chosen = device == link::kSimulatedPort ? &simulated_ : &device_;
  if (chosen != active_ && active_->isOpen()) active_->close();
  active_ = chosen;
  return active_->open(device, settings);
}

void SwitchingSerialPort::setOnBytes(BytesHandler onBytes) {
  device_.setOnBytes(onBytes);
  simulated_.setOnBytes(std::move(onBytes));
}

void SwitchingSerialPort::setOnLineLost(LineLostHandler onLost) {
  device_.setOnLineLost(onLost);
  simulated_.setOnLineLost(std::move(onLost));
}

void SwitchingSerialPort::setOnRoom(RoomHandler onRoom) {
  device_.setOnRoom(onRoom);
  simulated_.setOnRoom(std::move(onRoom));
}

}  // namespace pump::sim
