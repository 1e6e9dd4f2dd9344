#include "remote/qt/remote_settings_store.h"

namespace pump::remote::qt {
namespace {

constexpr char kGroup[] = "remote";

std::string Text(const QSettings& store, const char* key) {
  return store.value(key).toString().toStdString();
}

}  // namespace

StoredRemoteSettings LoadRemoteSettings(QSettings& store) {
  store.beginGroup(kGroup);
  StoredRemoteSettings stored;
  RemoteSettings& settings = stored.settings;
  settings.brokerUrl = Text(store, "brokerUrl");
  settings.user = Text(store, "user");
  settings.caFile = Text(store, "caFile");
  settings.pumpId = Text(store, "pumpId");
  settings.topicPrefix = Text(store, "topicPrefix");
  settings.allowRemoteControl = store.value("allowRemoteControl", false).toBool();
  stored.rememberPassword = store.value("rememberPassword", false).toBool();
  if (stored.rememberPassword) settings.password = Text(store, "password");
  store.endGroup();
  return stored;
}

void SaveRemoteSettings(QSettings& store, const StoredRemoteSettings& stored) {
  const RemoteSettings& settings = stored.settings;
  store.beginGroup(kGroup);
  store.setValue("brokerUrl", QString::fromStdString(settings.brokerUrl));
  store.setValue("user", QString::fromStdString(settings.user));
  store.setValue("caFile", QString::fromStdString(settings.caFile));
  store.setValue("pumpId", QString::fromStdString(settings.pumpId));
  store.setValue("topicPrefix", QString::fromStdString(settings.topicPrefix));
  store.setValue("allowRemoteControl", settings.allowRemoteControl);
  store.setValue("rememberPassword", stored.rememberPassword);
  if (stored.rememberPassword) {
    store.setValue("password", QString::fromStdString(settings.password));
  } else {
    store.remove("password");
  }
  store.endGroup();
  store.sync();
}

}  // namespace pump::remote::qt
