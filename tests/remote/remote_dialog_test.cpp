#include "remote/qt/remote_dialog.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "tests/support/test_broker.h"

namespace pump::remote::qt {
namespace {

template <typename Widget>
Widget* Child(QDialog& dialog, const char* name) {
  auto* widget = dialog.findChild<Widget*>(name);
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

void Retype(QDialog& dialog, const char* name, const QString& text) {
  auto* line = Child<QLineEdit>(dialog, name);
  line->clear();
  QTest::keyClicks(line, text);
}

// The file's permission bits, as stat gives them.
int ModeOf(const QString& path) {
  struct stat status {};
  if (::stat(QFile::encodeName(path).constData(), &status) != 0) return -1;
  return static_cast<int>(status.st_mode & 07777);
}

class RemoteSettingsDialog : public ::testing::Test {
 protected:
  QString iniPath() const { return QString::fromStdString(folder.path() + "/console.ini"); }
  pump::testing::ScratchFolder folder;
};

TEST_F(RemoteSettingsDialog, ShowsTheStoredSettingsAndOffersTheDefaults) {
  StoredRemoteSettings stored;
  stored.settings.brokerUrl = "mqtts://broker.lab:8883";
  stored.settings.user = "op";
  stored.settings.password = "pw";
  stored.rememberPassword = true;
  RemoteDialog dialog(stored);
  EXPECT_EQ(dialog.windowTitle(), "远程监控");
  EXPECT_EQ(Child<QLineEdit>(dialog, "brokerUrl")->text(), "mqtts://broker.lab:8883");
  EXPECT_EQ(Child<QLineEdit>(dialog, "password")->echoMode(), QLineEdit::Password);
  EXPECT_TRUE(Child<QCheckBox>(dialog, "rememberPassword")->isChecked());
  EXPECT_FALSE(Child<QCheckBox>(dialog, "allowRemoteControl")->isChecked());
  EXPECT_EQ(Child<QLineEdit>(dialog, "pumpId")->placeholderText().toStdString(), HostName());
  Retype(dialog, "pumpId", "bench-9");
  EXPECT_EQ(Child<QLineEdit>(dialog, "topicPrefix")->placeholderText(), "pumps/bench-9");

  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  // PUMP_SCREENSHOTS=folder keeps the picture for a look.
  const QString shots =
      qEnvironmentVariable("PUMP_SCREENSHOTS", QString::fromStdString(folder.path()));
  EXPECT_TRUE(dialog.grab().save(shots + "/remote-dialog.png"));
}

TEST_F(RemoteSettingsDialog, UnusableSettingsKeepItOpenAndSayWhy) {
  RemoteDialog dialog(StoredRemoteSettings{});
  dialog.show();
  Retype(dialog, "brokerUrl", "broker.lab:1883");
  dialog.accept();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_TRUE(Child<QLabel>(dialog, "problem")->text().contains("mqtt://"));
  Retype(dialog, "brokerUrl", "mqtt://broker.lab:1883");
  dialog.accept();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(RemoteSettingsDialog, WhatIsChosenIsKeptAndThePasswordOnlyWhenRemembered) {
  RemoteDialog dialog(StoredRemoteSettings{});
  Retype(dialog, "brokerUrl", " mqtt://10.1.2.3:1884 ");
  Retype(dialog, "user", "operator");
  Retype(dialog, "password", "hunter2");
  Retype(dialog, "pumpId", "p4");
  QTest::mouseClick(Child<QCheckBox>(dialog, "allowRemoteControl"), Qt::LeftButton);
  const StoredRemoteSettings chosen = dialog.chosen();
  EXPECT_EQ(chosen.settings.brokerUrl, "mqtt://10.1.2.3:1884");
  EXPECT_TRUE(chosen.settings.allowRemoteControl);
  EXPECT_FALSE(chosen.rememberPassword);
  // A settings file left readable by all is made the owner's before it is written.
  ASSERT_TRUE(QFile(iniPath()).open(QIODevice::WriteOnly));
  ::chmod(QFile::encodeName(iniPath()).constData(), 0644);
  {
    QSettings store(iniPath(), QSettings::IniFormat);
    SaveRemoteSettings(store, chosen);
  }
  EXPECT_EQ(ModeOf(iniPath()), 0600);
  QFile file(iniPath());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  EXPECT_TRUE(bytes.contains("operator"));
  EXPECT_FALSE(bytes.contains("hunter2")) << "a password not to be remembered reached the disk";

  QSettings store(iniPath(), QSettings::IniFormat);
  StoredRemoteSettings loaded = LoadRemoteSettings(store);
  EXPECT_EQ(loaded.settings.brokerUrl, "mqtt://10.1.2.3:1884");
  EXPECT_EQ(loaded.settings.user, "operator");
  EXPECT_EQ(loaded.settings.pumpId, "p4");
  EXPECT_EQ(loaded.settings.password, "");
  EXPECT_TRUE(loaded.settings.allowRemoteControl);

  loaded.settings.password = "hunter2";
  loaded.rememberPassword = true;
  SaveRemoteSettings(store, loaded);
  EXPECT_EQ(LoadRemoteSettings(store).settings.password, "hunter2");
  EXPECT_EQ(ModeOf(iniPath()), 0600) << "rewritten with the password, the file stays private";
  loaded.rememberPassword = false;
  SaveRemoteSettings(store, loaded);
  EXPECT_EQ(LoadRemoteSettings(store).settings.password, "") << "unticking forgets it";
}

}  // namespace
}  // namespace pump::remote::qt
