// A serial line as a stream of bytes: open a device with line settings, write
// bytes, hear the bytes that arrive and hear once when the line is lost. A
// line whose far end stops reading fills up: a write then takes only what
// fits, and the writer hears when there is room again.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace pump {

enum class Parity { None, Even, Odd };

struct LineSettings {
  int baud = 9600;
  Parity parity = Parity::None;
  int dataBits = 8;
  int stopBits = 1;
  friend bool operator==(const LineSettings&, const LineSettings&) = default;
};

// Why a port could not be opened.
struct PortError {
  enum class Kind {
    NotFound,
    PermissionDenied,
    Busy,
    StaleLock,  // locked by a program that no longer runs
    NotSerial,
    SettingsRefused,
    Other,
  };
  Kind kind = Kind::Other;
  std::string reason;  // the system's own words
  // For a stale lock: the lock file to remove, and the process that left it.
  std::string lockFile = {};
  long lockOwner = 0;
};

class SerialPort {
 public:
  using BytesHandler = std::function<void(std::string_view bytes)>;
  using LineLostHandler = std::function<void(const std::string& reason)>;
  using RoomHandler = std::function<void()>;

  virtual ~SerialPort() = default;

  // Opens the device with these settings, closing any port open before.
  // Nothing on success; the reason when it cannot be opened or set up (a port
  // that refuses the settings is closed again).
  virtual std::optional<PortError> open(const std::string& device,
                                        const LineSettings& settings) = 0;
  // Harmless when nothing is open.
  virtual void close() = 0;
  virtual bool isOpen() const = 0;
  // The device last opened.
  virtual std::string device() const = 0;
  // Hands the bytes to the line at once, in order, and tells how many of
  // them (from the front) it took: fewer than given, perhaps none, when the
  // line's output buffer is full. A full buffer is no failure. Nothing when
  // nothing is open or the write failed.
  virtual std::optional<std::size_t> write(std::string_view bytes) = 0;
  // Drops what was written but has not left yet, so that a line given up
  // while its far end was not reading keeps no stale or partial frame. A line
  // that sends at once has nothing to drop.
  virtual void discardUnsent() {}
  // Nothing written is still waiting in the port's output buffer: the bytes
  // have left for the far end. A line that sends at once is always drained.
  virtual bool outputDrained() const { return true; }
  // Called on the window's event thread with the bytes that arrived, never
  // inside another handler of this port. No more bytes are handed over until
  // the handler returns, so it must not wait for the operator (a modal box):
  // meanwhile every later reply waits, and the port's buffer grows.
  virtual void setOnBytes(BytesHandler onBytes) = 0;
  // Called once when the open port fails (adapter pulled, peer gone); the
  // port is closed by then.
  virtual void setOnLineLost(LineLostHandler onLost) = 0;
  // Called once, on the window's event thread, after a write that took fewer
  // bytes than it was given, when the line can take bytes again.
  virtual void setOnRoom(RoomHandler onRoom) = 0;
};

}  // namespace pump
