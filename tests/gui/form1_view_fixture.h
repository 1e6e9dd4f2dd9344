// The main window's widgets bound to a window model on test doubles, started
// and shown as the program does.
#pragma once

#include <QTest>
#include <memory>

#include "app/form1_view.h"
#include "console/main_window.h"
#include "tests/support/doubles.h"

namespace pump::testing {

struct Form1ViewFixture {
  ScriptedClock clock;
  ManualTimer timer1{clock};
  ManualTimer timer2{clock};
  RecordingSerialPort serial;
  ScriptedDialogs dialogs;
  RecordingPrinter printer;
  MemoryFiles files;
  CountingApp app;
  CountingWindow viewer;
  int programEnds = 0;
  std::unique_ptr<app::Form1View> view = std::make_unique<app::Form1View>();
  std::unique_ptr<console::Form1> form;

  Form1ViewFixture() {
    form = std::make_unique<console::Form1>(
        console::Form1Services{serial, timer1, timer2, dialogs, view->picture1(), printer, files,
                               app, view->rightkeyPopup(), viewer, "record.txt"});
    view->bind(*form, [this] { ++programEnds; });
    form->Form_Load();
    view->placeAtDesignPosition();
    view->show();
    static_cast<void>(QTest::qWaitForWindowExposed(view.get()));
  }

  template <typename Widget = QWidget>
  Widget* find(const char* name, int index = -1) const {
    for (Widget* w : view->findChildren<Widget*>(QString::fromUtf8(name))) {
      const QVariant i = w->property("index");
      if ((index < 0 && !i.isValid()) || (i.isValid() && i.toInt() == index)) return w;
    }
    return nullptr;
  }
};

}  // namespace pump::testing
