// The windows drawn with Qt Charts, the trend window (with the run report it
// writes) and the program window, as the window program sees them: made by
// the chart module, which is opened when the operator first asks for one.
#pragma once

class QWidget;

namespace pump::trend {
class LiveTrend;
}
namespace pump::program {
class ProgramControls;
}

namespace pump::app {

class ChartWindows {
 public:
  virtual ~ChartWindows() = default;
  // The trend window on the console's live session; `live` may be null.
  virtual QWidget* newTrendWindow(const trend::LiveTrend* live) = 0;
  // A trend window made here back on the live session, after a log was opened.
  virtual void showLiveSession(QWidget& trendWindow) = 0;
  // The window 运行程序, running programs through `controls`.
  virtual QWidget* newProgramWindow(program::ProgramControls& controls) = 0;
};

// The chart module's one entry.
inline constexpr char kChartModule[] = "pump-console-charts.so";
inline constexpr char kChartWindowsSymbol[] = "pump_console_chart_windows";
using ChartWindowsEntry = ChartWindows* (*)();

// The chart module's windows, opened on the first call; null if it cannot be opened.
ChartWindows* LoadChartWindows();

}  // namespace pump::app
