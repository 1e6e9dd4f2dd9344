// GUI tests run inside one QApplication, under the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/composition.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Headless unless a platform is asked for; test discovery runs without a display too.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  pump::app::LoadAssets();
  pump::app::InstallFontSubstitutes();
  return RUN_ALL_TESTS();
}
