// The trend window as the console sees it: made on first use, by the chart
// module, so a console whose operator never looks at the trend pays nothing
// for the chart, not even the loading of Qt Charts.
#pragma once

#include <memory>

#include "app/chart_windows.h"
#include "platform/ui.h"
#include "trend/live_trend.h"
#include "trend/qt/trend_window.h"

namespace pump::app {

class TrendWindowHandle : public WindowHandle {
 public:
  void setLiveTrend(const trend::LiveTrend* live) { live_ = live; }

  void show() override {
    // The menu always means the current session, even after a log was opened.
    if (window_) charts_->showLiveSession(*window_);
    if (!window_) {
      charts_ = LoadChartWindows();
      if (!charts_) return;
      window_.reset(charts_->newTrendWindow(live_));
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
  }
  void hide() override {
    if (window_) window_->hide();
  }

  // The window, once it has been shown. Its code is the chart module's: only
  // a program that links the module may call on it beyond QWidget.
  trend::qt::TrendWindow* window() const {
    return static_cast<trend::qt::TrendWindow*>(window_.get());
  }

 private:
  const trend::LiveTrend* live_ = nullptr;
  ChartWindows* charts_ = nullptr;
  std::unique_ptr<QWidget> window_;
};

}  // namespace pump::app
