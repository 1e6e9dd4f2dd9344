// The built-in demo port: a serial port with a simulated pump on the other
// end of the line. It runs on the window's event thread by way of one timer,
// so replies reach the bytes handler as a device's would, in the tick they arrive.
#pragma once

#include <deque>
#include <memory>

#include "platform/serial_port.h"
#include "platform/ui.h"
#include "sim/pump_model.h"

namespace pump::sim {

class SimSerialPort : public SerialPort {
 public:
  // The line is looked at this often while something is on it.
  static constexpr int kTickMs = 10;
  // With nothing on the line and no reply due, the pump is looked at this
  // seldom: a console at rest on the built-in pump is not woken 100 times a
  // second. The pressure is solved exactly over any step, and a write first
  // brings the pump up to the time of a slow look cut short.
  static constexpr int kIdleTickMs = 250;
  // The pump's own line setting; on any other the pump hears nothing it understands.
  static constexpr LineSettings kPumpLine{};

  explicit SimSerialPort(std::unique_ptr<Timer> tick, PumpModelSettings pump = {});
  ~SimSerialPort() override;
  SimSerialPort(const SimSerialPort&) = delete;
  SimSerialPort& operator=(const SimSerialPort&) = delete;

  // Always opens; opening an open port only changes its settings.
  std::optional<PortError> open(const std::string& device, const LineSettings& settings) override;
  void close() override;
  bool isOpen() const override { return open_; }
  std::string device() const override { return device_; }
  std::optional<std::size_t> write(std::string_view bytes) override;
  void setOnBytes(BytesHandler onBytes) override { onBytes_ = std::move(onBytes); }
  // The simulated line is never lost.
  void setOnLineLost(LineLostHandler) override {}
  // Nor is it ever full.
  void setOnRoom(RoomHandler) override {}

  // The pump behind the line; it keeps its state while the port is closed.
  const PumpModel& pump() const { return pump_; }

 private:
  struct Outgoing {
    long long arrivesMs;
    std::string bytes;
  };
  void Tick();
  void tickEvery(int milliseconds);

  std::unique_ptr<Timer> tick_;
  PumpModel pump_;
  std::string device_;
  bool open_ = false;
  bool lineMatches_ = true;
  std::deque<Outgoing> outgoing_;  // written by the console, still on the line
  long long lineFreeAt_ = 0;
  int tickMs_ = kTickMs;
  BytesHandler onBytes_;
};

}  // namespace pump::sim
