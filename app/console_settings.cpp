#include "app/console_settings.h"

#include "remote/qt/remote_settings_store.h"

namespace pump::app {

QSettings RemoteSettingsStore() {
  const QString name = QStringLiteral("pump-console");
  return QSettings(QSettings::IniFormat, QSettings::UserScope, name, name);
}

remote::AppliedSettings RemoteSettingsInForce(const remote::CommandLine& line) {
  QSettings store = RemoteSettingsStore();
  return remote::ApplyOverrides(remote::qt::LoadRemoteSettings(store).settings, line.remote);
}

}  // namespace pump::app
