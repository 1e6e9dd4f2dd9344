// The record viewer window: loads the record file's last line into a text box.
#pragma once

#include <string>
#include <utility>

#include "platform/files.h"
#include "platform/ui.h"

namespace pump::records {

class Form2 {
 public:
  static constexpr const char* kCaption = "泵启动和停止时间记录";

  Form2(Files& files, Dialogs& dialogs, WindowHandle& form1, WindowHandle& self,
        std::string recordPath)
      : files_(files),
        dialogs_(dialogs),
        form1_(form1),
        self_(self),
        recordPath_(std::move(recordPath)) {}

  TextBox Text1{"Text1"};

  void Command1_Click();  // back to the main window
  void Command2_Click();  // load the record file

 private:
  Files& files_;
  Dialogs& dialogs_;
  WindowHandle& form1_;
  WindowHandle& self_;
  std::string recordPath_;
};

}  // namespace pump::records
