// The serial control: the only way the console reaches the pump's line.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace pump {

// Codes read from commEvent() inside the OnComm handler.
enum class CommEvent {
  None = 0,
  Receive = 2,      // at least the receive threshold of characters is waiting
  LineLost = 1000,  // the open port failed (adapter pulled, peer gone); it is closed now
};

// Why a port could not be opened.
struct PortError {
  enum class Kind { NotFound, PermissionDenied, Busy, NotSerial, Other };
  Kind kind = Kind::Other;
  std::string reason;  // the system's own words
};

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // CommPort: the device the next open uses ("/dev/ttyS0", "COM3", "sim").
  virtual void setCommPort(const std::string& device) = 0;
  virtual std::string commPort() const = 0;
  // PortOpen = True. Returns the reason when the port cannot be opened.
  virtual std::optional<PortError> open() = 0;
  // PortOpen = False. Harmless when nothing is open.
  virtual void close() = 0;
  virtual bool isOpen() const = 0;
  // Settings, such as "9600,n,8,1"; applied to the open port. False if refused.
  virtual bool setSettings(const std::string& settings) = 0;
  // InputLen: 0 means a read returns every waiting character.
  virtual void setInputLen(int length) = 0;
  // RThreshold: raise OnComm with Receive once this many characters wait; 0 disables it.
  virtual void setRThreshold(int characters) = 0;
  // Output: queues the text exactly as given and returns at once. False when
  // nothing is open or the write was refused; nothing is then sent.
  virtual bool output(std::string_view text) = 0;
  // The code of the event being handled.
  virtual CommEvent commEvent() const = 0;
  // Input: every waiting character, one per byte; removes them from the buffer.
  virtual std::string input() = 0;
  // Why the line was lost, for a LineLost event.
  virtual std::string lineError() const = 0;
  // OnComm: called on the window's event thread, never inside another handler.
  virtual void setOnComm(std::function<void()> onComm) = 0;
};

}  // namespace pump
