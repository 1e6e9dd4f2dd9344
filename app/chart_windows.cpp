#include "app/chart_windows.h"

#include "app/module_loader.h"

namespace pump::app {

ChartWindows* LoadChartWindows() {
  static ChartWindows* const windows = [] {
    auto entry =
        reinterpret_cast<ChartWindowsEntry>(ModuleSymbol(kChartModule, kChartWindowsSymbol));
    return entry ? entry() : nullptr;
  }();
  return windows;
}

}  // namespace pump::app
