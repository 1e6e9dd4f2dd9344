// The main() of the Qt test programs: their tests run inside one QApplication,
// offscreen unless told otherwise (test discovery runs the binary without the
// test environment).
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "app/composition.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  // The console keeps settings (the port used last): these tests keep theirs
  // in a folder of their own, never in the user's configuration.
  QStandardPaths::setTestModeEnabled(true);
  const QTemporaryDir settings;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
  pump::app::PrepareApplication();
  return RUN_ALL_TESTS();
}
