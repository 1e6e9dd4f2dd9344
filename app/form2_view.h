// The record viewer window: Qt widgets bound to the records::Form2 model.
#pragma once

#include <QWidget>
#include <string>

#include "platform/files.h"
#include "platform/ui.h"
#include "records/record_viewer.h"

class QLineEdit;
class QPushButton;

namespace pump::app {

class Form2View : public QWidget, public WindowHandle {
 public:
  Form2View(Files& files, Dialogs& dialogs, std::string recordPath);

  // The window that "退出" returns to. Set once both windows exist: the main
  // window's services refer to this one, so neither can be made first.
  void setMainWindow(WindowHandle& form1) { form1_.target = &form1; }

  records::Form2& model() { return model_; }

  // WindowHandle: the viewer is only ever hidden, never destroyed, so the
  // text it shows survives until it is shown again.
  void show() override;
  void hide() override;

 private:
  void showText1();

  struct MainWindowLink : WindowHandle {
    void show() override {
      if (target != nullptr) target->show();
    }
    void hide() override {
      if (target != nullptr) target->hide();
    }
    WindowHandle* target = nullptr;
  };

  MainWindowLink form1_;
  records::Form2 model_;
  QPushButton* command1_;
  QPushButton* command2_;
  QLineEdit* text1_;
};

}  // namespace pump::app
