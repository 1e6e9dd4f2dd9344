// The record viewer's window on a record file in a folder of its own, its
// boxes scripted, for the tests that press its buttons.
#pragma once

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <string>
#include <string_view>

#include "app/record_viewer_view.h"
#include "platform/posix/posix_files.h"
#include "tests/support/doubles.h"

namespace pump::testing {

struct ViewerWindow {
  QTemporaryDir dir;
  posix::PosixFiles files;
  ScriptedDialogs dialogs;
  CountingWindow mainWindow;
  std::string path = dir.filePath("mytext.txt").toStdString();
  app::RecordViewerView view{files, dialogs, path};

  ViewerWindow() { view.setMainWindow(mainWindow); }

  QLineEdit& text1() { return *view.findChild<QLineEdit*>("Text1"); }
  QPushButton& button(const char* name) { return *view.findChild<QPushButton*>(name); }
  void writeRecord(std::string_view bytes) { ASSERT_TRUE(files.writeWhole(path, bytes).ok); }
};

}  // namespace pump::testing
