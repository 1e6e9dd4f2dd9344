// The whole console with its port open on a pump that only answers the poll:
// it wakes for the poll and its answer, paints only what the answer changed,
// and runs no timer but the poll.
#include <gtest/gtest.h>

#include <QLabel>

#include "app/composition.h"
#include "platform/qt/chart_canvas.h"
#include "tests/gui/event_count.h"
#include "tests/support/console_harness.h"
#include "tests/support/port_box_answer.h"
#include "tests/support/pty_pair.h"
#include "tests/support/pump_sim_process.h"

namespace pump {
namespace {

using testing::EventCount;
using testing::RunEventLoopFor;

TEST(IdleConsole, WakesOnlyForThePollAndPaintsOnlyTheChartStepOfEachAnswer) {
  testing::PumpSimProcess pump;
  ASSERT_FALSE(pump.devicePath().empty());
  app::Console console;
  console.start();
  auto& w = console.window();
  testing::OpenThroughThePortBox(w, pump.devicePath());
  ASSERT_TRUE(testing::MenusReleased(w));
  ASSERT_TRUE(testing::WaitUntil([&] { return w.chart().position() >= 1; }, 3000));
  RunEventLoopFor(100);

  EventCount count;
  const int stepsBefore = w.chart().position();
  RunEventLoopFor(3200, &count);  // two polls, 1.5 s apart
  const int answers = w.chart().position() - stepsBefore;

  EXPECT_GE(answers, 2);
  // The poll's timer alone: a pump that answers every poll gives the link
  // watch nothing to do, and nothing else wakes the console.
  ASSERT_LE(count.timers.size(), 1U) << "a timer other than the poll fires";
  int ticks = 0;
  for (const auto& timer : count.timers) ticks += timer.second;
  EXPECT_LE(ticks, 3);
  // A pump at rest: the pressure caption and the status line stay, the chart
  // takes a step.
  auto* chart = console.mainWindowView().findChild<qt::ChartCanvas*>(QStringLiteral("Picture1"));
  auto* pressure = console.mainWindowView().findChild<QLabel*>(QStringLiteral("LcurrP"));
  EXPECT_EQ(count.paints[pressure], 0);
  EXPECT_LE(count.paints[chart], answers);
  EXPECT_EQ(count.paintCount(), count.paints[chart]);
}

}  // namespace
}  // namespace pump
