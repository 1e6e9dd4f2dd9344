// GUI and device tests run inside one QApplication, offscreen unless told otherwise
// (test discovery runs the binary without the test environment).
#include <gtest/gtest.h>

#include <QApplication>

#include "app/composition.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  pump::app::PrepareApplication();
  return RUN_ALL_TESTS();
}
