// The main window's widgets bound to a console on test doubles, started and
// shown as the program does.
#pragma once

#include <QTest>
#include <memory>

#include "app/main_window_view.h"
#include "tests/support/console_harness.h"

namespace pump::testing {

struct ViewOnly {
  std::unique_ptr<app::MainWindowView> view = std::make_unique<app::MainWindowView>();
};

struct MainWindowViewHarness : ViewOnly, ConsoleHarness {
  int programEnds = 0;

  MainWindowViewHarness() : ConsoleHarness(Deferred{}) {
    build({.canvas = &view->chartCanvas(), .popup = &view->popupMenu()},
          [this](console::MainWindow& w) { view->bind(w, [this] { ++programEnds; }); });
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
