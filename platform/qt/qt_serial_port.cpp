#include "platform/qt/qt_serial_port.h"

#include <QTimer>

#ifndef _WIN32
#include <unistd.h>

#include <cerrno>
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
  if (port_.isOpen()) port_.close();
  device_ = device;
  port_.setPortName(QString::fromStdString(device_));
  if (!port_.open(QIODevice::ReadWrite)) {
    return PortError{openErrorKind(), port_.errorString().toStdString()};
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

void QtSerialPort::close() {
  if (port_.isOpen()) port_.close();
}

bool QtSerialPort::write(std::string_view bytes) {
  if (!port_.isOpen()) return false;
  const auto size = static_cast<qint64>(bytes.size());
  if (port_.write(bytes.data(), size) != size) return false;
  // Hand the frame to the driver now rather than when the event loop next
  // runs, so each frame is its own write. A failure here arrives as a lost line.
  port_.flush();
  return true;
}

void QtSerialPort::deliverWaitingBytes() {
  if (delivering_ || !port_.isOpen() || port_.bytesAvailable() == 0 || !onBytes_) return;
  const QByteArray bytes = port_.readAll();
  delivering_ = true;
  onBytes_(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  delivering_ = false;
  // readyRead is not raised again for bytes that came while the handler ran
  // (a message box's event loop): look again once the event loop is back.
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
  port_.close();
  const int lostOpen = opens_;
  QTimer::singleShot(0, &port_, [this, lostOpen, reason] {
    if (lostOpen == opens_ && onLost_) onLost_(reason);
  });
}

}  // namespace pump::qt
