// One serial port for the console that is either the device port or the
// built-in simulated pump, chosen by the device name at open: "sim" selects
// the simulation, any other name the device.
#pragma once

#include "platform/serial_port.h"

namespace pump::sim {

class SwitchingSerialPort : public SerialPort {
 public:
  SwitchingSerialPort(SerialPort& device, SerialPort& simulated);

  // Opening the other port while one is open closes the open one first, so
  // only one line ever delivers bytes.
  std::optional<PortError> open(const std::string& device, const LineSettings& settings) override;
  void close() override { active_->close(); }
  bool isOpen() const override { return active_->isOpen(); }
  std::string device() const override { return active_->device(); }
  std::optional<std::size_t> write(std::string_view bytes) override {
    return active_->write(bytes);
  }
  void discardUnsent() override { active_->discardUnsent(); }
  bool outputDrained() const override { return active_->outputDrained(); }
  void setOnBytes(BytesHandler onBytes) override;
  void setOnLineLost(LineLostHandler onLost) override;
  void setOnRoom(RoomHandler onRoom) override;

  bool simulatedSelected() const { return active_ == &simulated_; }

 private:
  SerialPort& device_;
  SerialPort& simulated_;
  SerialPort* active_;
};

}  // namespace pump::sim
