#include "remote/qt/remote_settings_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pump::remote::qt {
namespace {

constexpr char kGroup[] = "remote";

std::string Text(const QSettings& store, const char* key) {
  return store.value(key).toString().toStdString();
}

// The file may hold the broker password: only its owner may read it. It is
// made 0600 before anything is written, as QSettings rewrites it through a
// temporary file that takes the mode of the file it replaces.
void MakePrivate(const QSettings& store) {
  const QString path = store.fileName();
  QDir().mkpath(QFileInfo(path).absolutePath());
  const QByteArray name = QFile::encodeName(path);
  const int file = ::open(name.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  if (file < 0) return;  // QSettings tells of a file it cannot write
  ::fchmod(file, 0600);
  ::close(file);
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
  MakePrivate(store);
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
  MakePrivate(store);  // in case the rewrite did not keep the mode
}

}  // namespace pump::remote::qt
