// The serial control on QSerialPort. Line options the console never sets are
// fixed here: no flow control, modem lines left alone.
#pragma once

#include <QSerialPort>

#include "platform/serial_port.h"

namespace pump::qt {

class QtSerialPort : public SerialPort {
 public:
  QtSerialPort();

  void setCommPort(const std::string& device) override { device_ = device; }
  std::string commPort() const override { return device_; }
  std::optional<PortError> open() override;
  void close() override;
  bool isOpen() const override { return port_.isOpen(); }
  bool setSettings(const std::string& settings) override;
  void setInputLen(int length) override { inputLen_ = length; }
  void setRThreshold(int characters) override { rThreshold_ = characters; }
  bool output(std::string_view text) override;
  CommEvent commEvent() const override { return event_; }
  std::string input() override;
  std::string lineError() const override { return lineError_; }
  void setOnComm(std::function<void()> onComm) override { onComm_ = std::move(onComm); }

 private:
  void receiveIfDue();
  void portFailed(QSerialPort::SerialPortError error);
  void raise(CommEvent code);
  PortError::Kind openErrorKind() const;

  QSerialPort port_;
  std::string device_;
  int inputLen_ = 0;
  int rThreshold_ = 0;
  int opens_ = 0;  // tells a late loss report from one about the port open now
  CommEvent event_ = CommEvent::None;
  std::string lineError_;
  std::function<void()> onComm_;
};

}  // namespace pump::qt
