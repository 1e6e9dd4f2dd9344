// The remote settings kept with QSettings in the user's configuration, under
// the group "remote". The password is kept only when the operator asked, in
// a file only its owner can read (0600).
#pragma once

#include <QSettings>

#include "remote/remote_settings.h"

namespace pump::remote::qt {

struct StoredRemoteSettings {
  RemoteSettings settings;
  bool rememberPassword = false;
};

StoredRemoteSettings LoadRemoteSettings(QSettings& store);
void SaveRemoteSettings(QSettings& store, const StoredRemoteSettings& stored);

}  // namespace pump::remote::qt
