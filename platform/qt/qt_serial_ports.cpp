#include "platform/qt/qt_serial_ports.h"

#include <QSerialPortInfo>
#include <QSettings>

namespace pump::qt {
namespace {

const QString kLastPortKey = QStringLiteral("port/last");

}  // namespace

std::vector<FoundPort> QtPortFinder::availablePorts() const {
  std::vector<FoundPort> found;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    found.push_back({info.systemLocation().toStdString(), info.description().toStdString()});
  }
  return found;
}

std::optional<std::string> QtLastPortMemory::recall() const {
  const QSettings store(QSettings::IniFormat, QSettings::UserScope, organisation_, application_);
  const QString answer = store.value(kLastPortKey).toString();
  if (answer.isEmpty()) return std::nullopt;
  return answer.toStdString();
}

void QtLastPortMemory::remember(const std::string& answer) {
  QSettings store(QSettings::IniFormat, QSettings::UserScope, organisation_, application_);
  store.setValue(kLastPortKey, QString::fromStdString(answer));
}

}  // namespace pump::qt
