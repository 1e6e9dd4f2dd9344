// The serial ports as Qt lists them, and the port used last kept in the
// user's configuration with QSettings.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/serial_ports.h"

namespace pump::qt {

// Pseudo-terminals are not listed: they are opened by path.
class QtPortFinder : public PortFinder {
 public:
  std::vector<FoundPort> availablePorts() const override;
};

// Kept in the INI file of this organisation and application, in the user's
// configuration folder.
class QtLastPortMemory : public LastPortMemory {
 public:
  QtLastPortMemory(QString organisation, QString application)
      : organisation_(std::move(organisation)), application_(std::move(application)) {}
  std::optional<std::string> recall() const override;
  void remember(const std::string& answer) override;

 private:
  QString organisation_;
  QString application_;
};

}  // namespace pump::qt
