#include "platform/qt/qt_serial_port.h"

#include <QTimer>
#include <string_view>
#include <vector>

#ifndef _WIN32
#include <unistd.h>

#include <cerrno>
#endif

namespace pump::qt {
namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

std::optional<QSerialPort::Parity> ParityOf(std::string_view p) {
  if (p.size() != 1) return std::nullopt;
  switch (p[0] | 0x20) {
    case 'n':
      return QSerialPort::NoParity;
    case 'e':
      return QSerialPort::EvenParity;
    case 'o':
      return QSerialPort::OddParity;
    case 'm':
      return QSerialPort::MarkParity;
    case 's':
      return QSerialPort::SpaceParity;
    default:
      return std::nullopt;
  }
}

std::optional<QSerialPort::DataBits> DataBitsOf(std::string_view d) {
  if (d == "5") return QSerialPort::Data5;
  if (d == "6") return QSerialPort::Data6;
  if (d == "7") return QSerialPort::Data7;
  if (d == "8") return QSerialPort::Data8;
  return std::nullopt;
}

std::optional<QSerialPort::StopBits> StopBitsOf(std::string_view s) {
  if (s == "1") return QSerialPort::OneStop;
  if (s == "1.5") return QSerialPort::OneAndHalfStop;
  if (s == "2") return QSerialPort::TwoStop;
  return std::nullopt;
}

std::optional<qint32> BaudOf(std::string_view b) {
  if (b.empty() || b.size() > 7) return std::nullopt;
  qint32 baud = 0;
  for (char c : b) {
    if (c < '0' || c > '9') return std::nullopt;
    baud = baud * 10 + (c - '0');
  }
  if (baud == 0) return std::nullopt;
  return baud;
}

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
  QObject::connect(&port_, &QSerialPort::readyRead, [this] { receiveIfDue(); });
  QObject::connect(&port_, &QSerialPort::errorOccurred,
                   [this](QSerialPort::SerialPortError error) { portFailed(error); });
}

std::optional<PortError> QtSerialPort::open() {
  if (port_.isOpen()) port_.close();
  port_.setPortName(QString::fromStdString(device_));
  if (!port_.open(QIODevice::ReadWrite)) {
    return PortError{openErrorKind(), port_.errorString().toStdString()};
  }
  port_.setFlowControl(QSerialPort::NoFlowControl);
  ++opens_;
  lineError_.clear();
  return std::nullopt;
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

bool QtSerialPort::setSettings(const std::string& settings) {
  const auto parts = Split(settings, ',');
  if (parts.size() != 4) return false;
  const auto baud = BaudOf(parts[0]);
  const auto parity = ParityOf(parts[1]);
  const auto dataBits = DataBitsOf(parts[2]);
  const auto stopBits = StopBitsOf(parts[3]);
  if (!baud || !parity || !dataBits || !stopBits) return false;
  return port_.setBaudRate(*baud) && port_.setParity(*parity) && port_.setDataBits(*dataBits) &&
         port_.setStopBits(*stopBits) && port_.setFlowControl(QSerialPort::NoFlowControl);
}

bool QtSerialPort::output(std::string_view text) {
  if (!port_.isOpen()) return false;
  const auto size = static_cast<qint64>(text.size());
  if (port_.write(text.data(), size) != size) return false;
  // Hand the frame to the driver now rather than when the event loop next
  // runs, so each frame is its own write. A failure here arrives as a lost line.
  port_.flush();
  return true;
}

std::string QtSerialPort::input() {
  const QByteArray bytes = inputLen_ > 0 ? port_.read(inputLen_) : port_.readAll();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void QtSerialPort::receiveIfDue() {
  if (rThreshold_ <= 0 || !port_.isOpen() || port_.bytesAvailable() < rThreshold_) return;
  raise(CommEvent::Receive);
  // readyRead is not raised again for bytes already buffered, and not at all
  // while a handler is still running (a message box's event loop): look again
  // once the event loop is back.
  if (port_.isOpen() && port_.bytesAvailable() >= rThreshold_) {
    QTimer::singleShot(0, &port_, [this] { receiveIfDue(); });
  }
}

void QtSerialPort::portFailed(QSerialPort::SerialPortError error) {
  // Open failures are returned by open(); only a failing open port is a lost line.
  if (!IsLineFailure(error) || !port_.isOpen()) return;
  lineError_ = FailureWords(error) + ": " + port_.errorString().toStdString();
  // A vanished peer makes Qt repeat the error in a tight loop without closing
  // the port: closing it here ends the loop. The handler hears of it once the
  // event loop is back, outside QSerialPort's own call.
  port_.close();
  const int lostOpen = opens_;
  QTimer::singleShot(0, &port_, [this, lostOpen] {
    if (lostOpen == opens_) raise(CommEvent::LineLost);
  });
}

void QtSerialPort::raise(CommEvent code) {
  if (!onComm_) return;
  const CommEvent outer = event_;
  event_ = code;
  onComm_();
  event_ = outer;
}

}  // namespace pump::qt
