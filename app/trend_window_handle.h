// The trend window as the console sees it: made on first use, so a console
// whose operator never looks at the trend pays nothing for the chart.
#pragma once

#include <memory>

#include "platform/ui.h"
#include "trend/live_trend.h"
#include "trend/qt/trend_window.h"

namespace pump::app {

class TrendWindowHandle : public WindowHandle {
 public:
  void setLiveTrend(const trend::LiveTrend* live) { live_ = live; }

  void show() override {
    // The menu always means the current session, even after a log was opened.
    if (window_) window_->showLiveSession();
    if (!window_) window_ = std::make_unique<trend::qt::TrendWindow>(live_);
    window_->show();
    window_->raise();
    window_->activateWindow();
  }
  void hide() override {
    if (window_) window_->hide();
  }

  // The window, once it has been shown.
  trend::qt::TrendWindow* window() const { return window_.get(); }

 private:
  const trend::LiveTrend* live_ = nullptr;
  std::unique_ptr<trend::qt::TrendWindow> window_;
};

}  // namespace pump::app
