// The program on QApplication.
#pragma once

#include <QCoreApplication>

#include "platform/ui.h"

namespace pump::qt {

class QtApplication : public Application {
 public:
  // Leaves every running event loop, modal ones included; no window is
  // closed first, so no close handler runs.
  void endNow() override { QCoreApplication::exit(0); }
};

}  // namespace pump::qt
