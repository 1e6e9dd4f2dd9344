// A top-level widget as other windows see it.
#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/ui.h"

namespace pump::qt {

class QtWindowHandle : public WindowHandle {
 public:
  explicit QtWindowHandle(QWidget& window) : window_(&window) {}
  void show() override {
    if (!window_) return;
    window_->show();
    window_->raise();
    window_->activateWindow();
  }
  void hide() override {
    if (window_) window_->hide();
  }

 private:
  QPointer<QWidget> window_;
};

}  // namespace pump::qt
