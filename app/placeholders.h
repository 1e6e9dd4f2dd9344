// PLACEHOLDERS for adapters built elsewhere (serial port on QSerialPort,
// printer, record files, the record viewer window). Each one reports plainly
// that it is missing instead of pretending to work; the composition root swaps
// in the real adapters once they are part of the build.
#pragma once

#include "platform/files.h"
#include "platform/printer.h"
#include "platform/serial_port.h"
#include "platform/ui.h"

namespace pump::app {

inline constexpr const char* kNotAvailable = "not available in this build";

class PlaceholderSerialPort : public SerialPort {
 public:
  void setCommPort(const std::string& device) override { device_ = device; }
  std::string commPort() const override { return device_; }
  std::optional<PortError> open() override {
    return PortError{PortError::Kind::Other, kNotAvailable};
  }
  void close() override {}
  bool isOpen() const override { return false; }
  bool setSettings(const std::string&) override { return false; }
  void setInputLen(int) override {}
  void setRThreshold(int) override {}
  bool output(std::string_view) override { return false; }
  CommEvent commEvent() const override { return CommEvent::None; }
  std::string input() override { return {}; }
  std::string lineError() const override { return kNotAvailable; }
  void setOnComm(std::function<void()>) override {}

 private:
  std::string device_;
};

class PlaceholderPrinter : public Printer {
 public:
  std::optional<int> showPrintDialog() override { return std::nullopt; }
  bool printLine(const std::string&) override { return false; }
  bool endDoc() override { return false; }
};

class PlaceholderFiles : public Files {
 public:
  FileResult writeWhole(const std::string&, std::string_view) override {
    return {false, kNotAvailable};
  }
  FileResult readWhole(const std::string&, std::string*) override { return {false, kNotAvailable}; }
};

// Stands in for the record viewer window: showing it does nothing.
class PlaceholderRecordViewer : public WindowHandle {
 public:
  void show() override {}
  void hide() override {}
};

}  // namespace pump::app
