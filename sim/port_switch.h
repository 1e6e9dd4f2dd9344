// One serial port for the console that is either the device port or the
// built-in simulated pump, chosen by the CommPort name: "sim" selects the
// simulation, any other name the device.
#pragma once

#include "platform/serial_port.h"

namespace pump::sim {

class SwitchingSerialPort : public SerialPort {
 public:
  SwitchingSerialPort(SerialPort& device, SerialPort& simulated);

  // Choosing the other port while one is open closes the open one first, so
  // only one line ever raises OnComm.
  void setCommPort(const std::string& device) override;
  std::string commPort() const override { return active_->commPort(); }
  std::optional<PortError> open() override { return active_->open(); }
  void close() override { active_->close(); }
  bool isOpen() const override { return active_->isOpen(); }
  bool setSettings(const std::string& settings) override { return active_->setSettings(settings); }
  void setInputLen(int length) override;
  void setRThreshold(int characters) override;
  bool output(std::string_view text) override { return active_->output(text); }
  CommEvent commEvent() const override { return active_->commEvent(); }
  std::string input() override { return active_->input(); }
  std::string lineError() const override { return active_->lineError(); }
  void setOnComm(std::function<void()> onComm) override;

  bool simulatedSelected() const { return active_ == &simulated_; }

 private:
  SerialPort& device_;
  SerialPort& simulated_;
  SerialPort* active_;
};

}  // namespace pump::sim
