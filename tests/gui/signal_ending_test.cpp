// The console told to end by a signal while a timed run goes: the pump is
// stopped first, then the window closes as if the operator had closed it;
// a stop that cannot reach the pump holds the end up two seconds at most.
#include "app/signal_ending.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

#include "app/composition.h"
#include "tests/gui/console_on_qt.h"
#include "tests/runlog/log_test_support.h"
#include "tests/support/console_harness.h"
#include "tests/support/port_box_answer.h"
#include "tests/support/pty_pair.h"
#include "tests/support/pump_sim_process.h"
#include "tests/support/scratch_folder.h"

namespace pump {
namespace {

using testing::ReadFile;

// A stop frame after the last run frame, among the bytes the pump has read.
bool StopAfterRun(const std::string& heard) {
  const auto run = heard.rfind("Q00R0000Y");
  return run != std::string::npos && heard.find("Q00S0000Y", run) != std::string::npos;
}

TEST(WindowConsoleOnSignal, SigtermDuringATimedRunStopsThePumpThenClosesTheWindow) {
  runlog::testing::ScratchFolder scratch;
  const std::string heard = scratch.path() + "/heard-by-the-pump";
  testing::PumpSimProcess pump({"--log-received", heard});
  ASSERT_FALSE(pump.devicePath().empty());
  app::Console console(scratch.path() + "/pump-logs");
  std::vector<std::string> told;  // "kind detail", in order
  console.events().subscribe([&](const session::SessionEvent& event) {
    told.push_back(std::string(pump::EventKindName(event.kind)) + " " + event.detail);
  });
  console.start();
  auto& w = console.window();
  testing::OpenThroughThePortBox(w, pump.devicePath());
  ASSERT_TRUE(testing::MenusReleased(w));
  ASSERT_TRUE(w.session().timedRun(5).ok());
  ASSERT_TRUE(w.session().runInProgress());

  app::SignalEnding ending(w.session(), [&console] { console.endOnSignal(); });
  QElapsedTimer took;
  QTimer::singleShot(0, [&] {
    took.start();
    ::raise(SIGTERM);
  });
  QApplication::exec();
  const auto tookMs = took.elapsed();
  std::printf("SIGTERM to the end of the event loop, a timed run going: %lld ms\n",
              static_cast<long long>(tookMs));
  EXPECT_LT(tookMs, 2500);

  EXPECT_FALSE(console.mainWindowView().isVisible());
  EXPECT_FALSE(w.session().runInProgress());
  const auto at = [&](const std::string& what) {
    return std::find(told.begin(), told.end(), what) - told.begin();
  };
  const auto stop = at("command Q00S0000Y");
  ASSERT_LT(stop, static_cast<long>(told.size())) << "no stop went out";
  EXPECT_EQ(at("run end"), stop + 1);
  EXPECT_GT(at("close " + pump.devicePath()), stop + 1) << "the line closed after the stop";
  for (int i = 0; i < 100 && !StopAfterRun(ReadFile(heard)); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_TRUE(StopAfterRun(ReadFile(heard))) << ReadFile(heard);
}

TEST(SignalEnding, AStopThatCannotReachThePumpHoldsTheEndUpTwoSecondsAtMost) {
  testing::PtyPair pump;
  ASSERT_TRUE(pump.ok());
  // The console opens the line by a name of its own and reconnects by it, so
  // a pseudo-terminal number reused by another process is never reopened.
  runlog::testing::ScratchFolder folder;
  const std::string name = folder.path() + "/pump-line";
  ASSERT_EQ(::symlink(pump.slavePath().c_str(), name.c_str()), 0);
  testing::ConsoleOnQt console;
  auto& w = *console.window;
  console.open(name);
  ASSERT_TRUE(w.session().timedRun(5).ok());
  pump.closeMaster();  // the adapter is pulled and does not come back
  ::unlink(name.c_str());
  ASSERT_TRUE(testing::WaitUntil([&] { return console.menusLocked(); }, 3000));

  app::SignalEnding ending(w.session(), [] { QCoreApplication::exit(0); });
  QElapsedTimer took;
  QTimer::singleShot(0, [&] {
    took.start();
    ::raise(SIGINT);
  });
  QApplication::exec();
  EXPECT_GE(took.elapsed(), 1900) << "the line might have come back within the wait";
  EXPECT_LT(took.elapsed(), 3000);
  EXPECT_EQ(w.display.linkStatus.caption(), "● 停泵命令待发送");
}

}  // namespace
}  // namespace pump
