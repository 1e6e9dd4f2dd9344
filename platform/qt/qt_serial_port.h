// The serial line on QSerialPort. Line options the console never sets are
// fixed here: no flow control, modem lines left alone.
#pragma once

#include <QSerialPort>
#include <QSocketNotifier>
#include <memory>
#include <vector>

#include "platform/serial_port.h"

namespace pump::qt {

class QtSerialPort : public SerialPort {
 public:
  QtSerialPort();

  std::optional<PortError> open(const std::string& device, const LineSettings& settings) override;
  void close() override;
  bool isOpen() const override { return port_.isOpen(); }
  std::string device() const override { return device_; }
  std::optional<std::size_t> write(std::string_view bytes) override;
  void discardUnsent() override;
  bool outputDrained() const override;
  void setOnBytes(BytesHandler onBytes) override { onBytes_ = std::move(onBytes); }
  void setOnLineLost(LineLostHandler onLost) override { onLost_ = std::move(onLost); }
  void setOnRoom(RoomHandler onRoom) override { onRoom_ = std::move(onRoom); }

 private:
  bool applySettings(const LineSettings& settings);
  void deliverWaitingBytes();
  void portFailed(QSerialPort::SerialPortError error);
  PortError openError() const;
  PortError::Kind openErrorKind() const;
  void watchForRoom();
  void closePort();

  QSerialPort port_;
  // Tells when a full output buffer has room again; armed only while it is full.
  std::unique_ptr<QSocketNotifier> room_;
  std::string device_;
  int opens_ = 0;                 // tells a late loss report from one about the port open now
  bool delivering_ = false;       // a bytes handler is running (perhaps under a message box)
  std::vector<char> readBuffer_;  // kept between reads: no allocation per reply
  BytesHandler onBytes_;
  LineLostHandler onLost_;
  RoomHandler onRoom_;
};

}  // namespace pump::qt
