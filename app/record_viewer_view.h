// The record viewer window: Qt widgets built from its design table and bound
// to the record viewer.
#pragma once

#include <QWidget>
#include <string>

#include "platform/files.h"
#include "platform/ui.h"
#include "records/record_viewer.h"

class QLineEdit;

namespace pump::app {

class RecordViewerView : public QWidget, public WindowHandle {
 public:
  RecordViewerView(Files& files, Dialogs& dialogs, std::string recordPath);

  // The window that the back button returns to. Set once both windows exist:
  // the main window's services refer to this one, so neither can be made first.
  void setMainWindow(WindowHandle& mainWindow) { mainWindow_.target = &mainWindow; }

  records::RecordViewer& viewer() { return viewer_; }

  // WindowHandle: the viewer is only ever hidden, never destroyed, so the
  // text it shows survives until it is shown again.
  void show() override;
  void hide() override;

 private:
  void buildButtons();
  void showRecordLine();

  struct MainWindowLink : WindowHandle {
    void show() override {
      if (target != nullptr) target->show();
    }
    void hide() override {
      if (target != nullptr) target->hide();
    }
    WindowHandle* target = nullptr;
  };

  MainWindowLink mainWindow_;
  records::RecordViewer viewer_;
  QLineEdit* recordBox_;
};

}  // namespace pump::app
