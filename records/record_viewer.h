// The record viewer window: loads the record file's last line into a text box.
#pragma once

#include <string>
#include <utility>

#include "platform/files.h"
#include "platform/ui.h"
#include "texts/operator_texts.h"

namespace pump::records {

class RecordViewer {
 public:
  RecordViewer(Files& files, Dialogs& dialogs, WindowHandle& mainWindow, WindowHandle& self,
               std::string recordPath)
      : files_(files),
        dialogs_(dialogs),
        mainWindow_(mainWindow),
        self_(self),
        recordPath_(std::move(recordPath)) {}

  TextBox recordLine{texts::kRecordBoxStart};

  void backToMainWindow();
  void loadLastLine();

 private:
  Files& files_;
  Dialogs& dialogs_;
  WindowHandle& mainWindow_;
  WindowHandle& self_;
  std::string recordPath_;
};

}  // namespace pump::records
