// The trend window reached from the whole console's menu, and fed live by it.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTest>
#include <fstream>

#include "app/composition.h"
#include "app/headless_console.h"
#include "tests/support/port_box_answer.h"
#include "tests/support/pty_pair.h"
#include "tests/support/pump_sim_process.h"
#include "tests/support/pump_states.h"
#include "trend/qt/trend_window.h"

namespace pump {
namespace {

using testing::OpenThroughThePortBox;
using testing::PumpSimProcess;
using testing::WaitUntil;

// The newest reading the trend holds, as its frame.
std::string NewestReading(const trend::Session& session) {
  for (std::size_t i = session.size(); i-- > 0;) {
    if (session.isReading(i)) return std::string(session.row(i).detail);
  }
  return {};
}

TEST(TrendMenu, TrendItemOpensTheWindowWithNoPortAndItFollowsTheReadingsOnceOneOpens) {
  app::Console console;
  console.start();
  auto* item = console.mainWindowView().findChild<QAction*>("trend");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text(), "趋势图");
  auto* menu = console.mainWindowView().findChild<QMenu*>("tools");
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->title(), "工具(U)");
  EXPECT_TRUE(menu->menuAction()->isEnabled());

  item->trigger();
  ASSERT_NE(console.trendWindow(), nullptr);
  ASSERT_NE(console.liveTrend(), nullptr);
  trend::qt::TrendWindow* trendWindow = console.trendWindow()->window();
  ASSERT_NE(trendWindow, nullptr);
  EXPECT_TRUE(trendWindow->isVisible());
  EXPECT_FALSE(trendWindow->isModal());
  EXPECT_EQ(trendWindow->windowTitle(), "趋势图");
  EXPECT_EQ(trendWindow->shownSession(), nullptr);

  PumpSimProcess pump;
  ASSERT_FALSE(pump.devicePath().empty());
  OpenThroughThePortBox(console.window(), pump.devicePath());
  const auto& display = console.window().display;
  ASSERT_TRUE(WaitUntil(
      [&] {
        const std::string caption = display.currentPressure.caption();
        return NewestReading(console.liveTrend()->session()).find(caption) != std::string::npos &&
               trendWindow->redrawCount() > 0;
      },
      5000));
  EXPECT_EQ(trendWindow->shownSession(), &console.liveTrend()->session());
  EXPECT_TRUE(trendWindow->windowTitle().startsWith("趋势图 - "))
      << trendWindow->windowTitle().toStdString();
  EXPECT_TRUE(trendWindow->view().following());
  QTest::qWait(2000);  // a few polls more, to look at
  trendWindow->grab().save("trend-live.png");

  item->trigger();  // a second choice brings the same window forward
  EXPECT_EQ(console.trendWindow()->window(), trendWindow);
}

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

TEST(TrendMenu, AHeadlessConsoleKeepsNoTrendSoAStreamOfReadingsLeavesItsMemoryAsItWas) {
  app::HeadlessConsole console("");
  const auto wall = std::chrono::system_clock::now();
  const auto steady = std::chrono::steady_clock::now();
  const session::PumpState shown = pump::testing::Showing("01.5", "04.0", "250");
  console.events().publish({pump::EventKind::Open, "/dev/ttyS9", shown, wall, steady});
  const long before = ResidentKilobytes();
  // Thirteen minutes of a 115200-baud stream; a trend would hold 18 MB of it.
  for (int i = 0; i < 1'000'000; ++i) {
    const std::chrono::milliseconds after(i);
    console.events().publish(
        {pump::EventKind::Reading, "Q00N01.5Y", shown, wall + after, steady + after});
  }
  EXPECT_LT(ResidentKilobytes() - before, 4 * 1024);
}

}  // namespace
}  // namespace pump
