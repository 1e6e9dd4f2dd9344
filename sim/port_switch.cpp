#include "sim/port_switch.h"

#include "link/port_name.h"

namespace pump::sim {

SwitchingSerialPort::SwitchingSerialPort(SerialPort& device, SerialPort& simulated)
    : device_(device), simulated_(simulated), active_(&device) {}

void SwitchingSerialPort::setCommPort(const std::string& device) {
  SerialPort* chosen = device == link::kSimulatedPort ? &simulated_ : &device_;
  if (chosen != active_ && active_->isOpen()) active_->close();
  active_ = chosen;
  active_->setCommPort(device);
}

// Both ports keep the read settings, whichever is chosen later.
void SwitchingSerialPort::setInputLen(int length) {
  device_.setInputLen(length);
  simulated_.setInputLen(length);
}

void SwitchingSerialPort::setRThreshold(int characters) {
  device_.setRThreshold(characters);
  simulated_.setRThreshold(characters);
}

void SwitchingSerialPort::setOnComm(std::function<void()> onComm) {
  device_.setOnComm(onComm);
  simulated_.setOnComm(std::move(onComm));
}

}  // namespace pump::sim
