// The chart module: the trend window and the program window on Qt Charts,
// opened by the window program when the operator first asks for one.
#include <type_traits>

#include "app/chart_windows.h"
#include "app/program_window.h"
#include "trend/qt/trend_window.h"

namespace {

class QtChartWindows : public pump::app::ChartWindows {
 public:
  QWidget* newTrendWindow(const pump::trend::LiveTrend* live) override {
    return new pump::trend::qt::TrendWindow(live);
  }
  void showLiveSession(QWidget& trendWindow) override {
    static_cast<pump::trend::qt::TrendWindow&>(trendWindow).showLiveSession();
  }
  QWidget* newProgramWindow(pump::program::ProgramControls& controls) override {
    return new pump::app::ProgramWindow(controls);
  }
};

}  // namespace

extern "C" pump::app::ChartWindows* pump_console_chart_windows() {
  static QtChartWindows windows;
  return &windows;
}

static_assert(std::is_same_v<decltype(&pump_console_chart_windows), pump::app::ChartWindowsEntry>,
              "the entry the window program looks up");
