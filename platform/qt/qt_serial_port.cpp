#include "platform/qt/qt_serial_port.h"

#include <QTimer>

#ifndef _WIN32
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/port_lock.h"
#endif

namespace pump::qt {
namespace {

// Errors that do not mean the port is gone: modem-line calls a pseudo-terminal
// does not support, and the time-outs of blocking waits.
bool IsLineFailure(QSerialPort::SerialPortError error) {
  return error != QSerialPort::NoError && error != QSerialPort::TimeoutError &&
         error != QSerialPort::UnsupportedOperationError;
}

// Qt's error text after a lost peer is often a stale errno ("Inappropriate
// ioctl for device"), so the kind of failure is named too.
std::string FailureWords(QSerialPort::SerialPortError error) {
  switch (error) {
    case QSerialPort::ReadError:
      return "read failed";
    case QSerialPort::WriteError:
      return "write failed";
    case QSerialPort::ResourceError:
      return "device unavailable";
    default:
      return "port failed";
  }
}

}  // namespace

QtSerialPort::QtSerialPort() {
  QObject::connect(&port_, &QSerialPort::readyRead, [this] { deliverWaitingBytes(); });
  QObject::connect(&port_, &QSerialPort::errorOccurred,
                   [this](QSerialPort::SerialPortError error) { portFailed(error); });
}

std::optional<PortError> QtSerialPort::open(const std::string& device,
                                            const LineSettings& settings) {
  closePort();
  device_ = device;
  port_.setPortName(QString::fromStdString(device_));
  if (!port_.open(QIODevice::ReadWrite)) {
    return openError();
  }
  if (!applySettings(settings)) {
    const std::string reason = port_.errorString().toStdString();
    port_.close();
    return PortError{PortError::Kind::SettingsRefused, reason};
  }
  ++opens_;
  return std::nullopt;
}

bool QtSerialPort::applySettings(const LineSettings& settings) {
  const auto parity = settings.parity == Parity::Even  ? QSerialPort::EvenParity
                      : settings.parity == Parity::Odd ? QSerialPort::OddParity
                                                       : QSerialPort::NoParity;
  return port_.setBaudRate(settings.baud) && port_.setParity(parity) &&
         port_.setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits)) &&
         port_.setStopBits(settings.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) &&
         port_.setFlowControl(QSerialPort::NoFlowControl);
}

PortError QtSerialPort::openError() const {
  PortError error{openErrorKind(), port_.errorString().toStdString()};
#ifndef _WIN32
  // A lock left by a program that was killed holding the port: root's open
  // clears it by itself, another user's cannot.
  if (error.kind == PortError::Kind::Busy) {
    const auto lock = posix::FindPortLock(device_, posix::PortLockFolder());
    if (lock && lock->ownerGone) {
      error.kind = PortError::Kind::StaleLock;
      error.lockFile = lock->path;
      error.lockOwner = lock->owner;
    }
  }
#endif
  return error;
}

PortError::Kind QtSerialPort::openErrorKind() const {
  switch (port_.error()) {
    case QSerialPort::DeviceNotFoundError:
      return PortError::Kind::NotFound;
    case QSerialPort::UnsupportedOperationError:
      return PortError::Kind::NotSerial;
    case QSerialPort::PermissionError: {
#ifdef _WIN32
      return PortError::Kind::Busy;
#else
      // Qt reports a refused device and one held by another program alike;
      // the device's own access rights tell them apart.
      std::string path = device_;
      if (path.empty() || path.front() != '/') path.insert(0, "/dev/");
      if (::access(path.c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
        return PortError::Kind::PermissionDenied;
      }
      return PortError::Kind::Busy;
#endif
    }
    default:
      return PortError::Kind::Other;
  }
}

void QtSerialPort::close() { closePort(); }

// The room watch goes before the device, so it never watches a closed one.
void QtSerialPort::closePort() {
  room_.reset();
  if (port_.isOpen()) port_.close();
}

#ifdef _WIN32
std::optional<std::size_t> QtSerialPort::write(std::string_view bytes) {
  if (!port_.isOpen()) return std::nullopt;
  const auto size = static_cast<qint64>(bytes.size());
  if (port_.write(bytes.data(), size) != size) return std::nullopt;
  port_.flush();
  return bytes.size();
}
#else
// Straight to the device rather than through QSerialPort's own buffer, so
// that what the driver took is known at once: a full output buffer is then
// a short write, not a failure later with half a frame on the line.
std::optional<std::size_t> QtSerialPort::write(std::string_view bytes) {
  if (!port_.isOpen()) return std::nullopt;
  ssize_t taken = -1;
  do {
    taken = ::write(static_cast<int>(port_.handle()), bytes.data(), bytes.size());
  } while (taken < 0 && errno == EINTR);
  if (taken < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return std::nullopt;
  const std::size_t count = taken < 0 ? 0 : static_cast<std::size_t>(taken);
  if (count < bytes.size()) watchForRoom();
  return count;
}
#endif

#ifdef _WIN32
bool QtSerialPort::outputDrained() const { return port_.isOpen() && port_.bytesToWrite() == 0; }
#else
// Asks the driver what it still holds; a driver that cannot tell counts as
// not drained, so the caller waits for the far end's answer instead.
bool QtSerialPort::outputDrained() const {
  if (!port_.isOpen()) return false;
  int waiting = 0;
  return ::ioctl(static_cast<int>(port_.handle()), TIOCOUTQ, &waiting) == 0 && waiting == 0;
}
#endif

void QtSerialPort::discardUnsent() {
  if (port_.isOpen()) port_.clear(QSerialPort::Output);
}

// The writer hears of the room once the event loop is back, outside the
// notifier's own call, so it may close the port from its handler.
void QtSerialPort::watchForRoom() {
  if (!room_) {
    room_ = std::make_unique<QSocketNotifier>(port_.handle(), QSocketNotifier::Write);
    QObject::connect(room_.get(), &QSocketNotifier::activated, [this] {
      room_->setEnabled(false);
      const int roomOpen = opens_;
      QTimer::singleShot(0, &port_, [this, roomOpen] {
        if (roomOpen == opens_ && port_.isOpen() && onRoom_) onRoom_();
      });
    });
  }
  room_->setEnabled(true);
}

void QtSerialPort::deliverWaitingBytes() {
  if (delivering_ || !port_.isOpen() || port_.bytesAvailable() == 0 || !onBytes_) return;
  readBuffer_.resize(static_cast<std::size_t>(port_.bytesAvailable()));
  const qint64 read = port_.read(readBuffer_.data(), static_cast<qint64>(readBuffer_.size()));
  if (read <= 0) return;
  delivering_ = true;
  onBytes_(std::string_view(readBuffer_.data(), static_cast<std::size_t>(read)));
  delivering_ = false;
  // QSerialPort raises no readyRead while one of its own is on the stack, so
  // bytes read meanwhile (by a nested event loop) wait in its buffer: look
  // again once the event loop is back.
  if (port_.isOpen() && port_.bytesAvailable() > 0) {
    QTimer::singleShot(0, &port_, [this] { deliverWaitingBytes(); });
  }
}

void QtSerialPort::portFailed(QSerialPort::SerialPortError error) {
  // Open failures are returned by open(); only a failing open port is a lost line.
  if (!IsLineFailure(error) || !port_.isOpen()) return;
  const std::string reason = FailureWords(error) + ": " + port_.errorString().toStdString();
  // A vanished peer makes Qt repeat the error in a tight loop without closing
  // the port: closing it here ends the loop. The handler hears of it once the
  // event loop is back, outside QSerialPort's own call.
  closePort();
  const int lostOpen = opens_;
  QTimer::singleShot(0, &port_, [this, lostOpen, reason] {
    if (lostOpen == opens_ && onLost_) onLost_(reason);
  });
}

}  // namespace pump::qt
