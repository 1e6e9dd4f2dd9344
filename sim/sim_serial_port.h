// The built-in demo port: a serial port with a simulated pump on the other
// end of the line. It runs on the window's event thread by way of one timer,
// so replies reach the OnComm handler exactly as a device's would: bytes
// collect in a receive buffer and the handler is raised at the threshold.
#pragma once

#include <deque>
#include <memory>

#include "platform/serial_port.h"
#include "platform/ui.h"
#include "sim/pump_model.h"

namespace pump::sim {

class SimSerialPort : public SerialPort {
 public:
  // The line is looked at this often while the port is open.
  static constexpr int kTickMs = 10;
  static constexpr std::string_view kPumpLine = "9600,n,8,1";

  explicit SimSerialPort(std::unique_ptr<Timer> tick, PumpModelSettings pump = {});
  ~SimSerialPort() override;
  SimSerialPort(const SimSerialPort&) = delete;
  SimSerialPort& operator=(const SimSerialPort&) = delete;

  void setCommPort(const std::string& device) override { commPort_ = device; }
  std::string commPort() const override { return commPort_; }
  // Always succeeds; opening an open port changes nothing.
  std::optional<PortError> open() override;
  void close() override;
  bool isOpen() const override { return open_; }
  // Takes any well-formed "baud,parity,data,stop" text while open. When it is
  // not the pump's own line setting, the pump hears nothing it understands.
  bool setSettings(const std::string& settings) override;
  void setInputLen(int length) override { inputLen_ = length; }
  void setRThreshold(int characters) override { threshold_ = characters; }
  bool output(std::string_view text) override;
  CommEvent commEvent() const override { return event_; }
  std::string input() override;
  std::string lineError() const override { return {}; }
  void setOnComm(std::function<void()> onComm) override { onComm_ = std::move(onComm); }

  // The pump behind the line; it keeps its state while the port is closed.
  const PumpModel& pump() const { return pump_; }

 private:
  struct Outgoing {
    long long arrivesMs;
    std::string bytes;
  };
  void Tick();

  std::unique_ptr<Timer> tick_;
  PumpModel pump_;
  std::string commPort_;
  bool open_ = false;
  bool lineMatches_ = true;
  int inputLen_ = 0;
  int threshold_ = 0;
  std::string received_;
  std::deque<Outgoing> outgoing_;  // written by the console, still on the line
  long long lineFreeAt_ = 0;
  CommEvent event_ = CommEvent::None;
  std::function<void()> onComm_;
};

}  // namespace pump::sim
