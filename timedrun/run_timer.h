// The timed run: runs the pump for a set number of minutes with an
// hours/minutes/seconds clock, with pause, continue and end.
#pragma once

#include <cstdint>

#include "link/command_sender.h"
#include "platform/ui.h"

namespace pump::timedrun {

// The six labels of the run clock.
struct RunClockLabels {
  Label& lhour;
  Label& lmin;
  Label& lsed;
  Label& Label1;
  Label& Label2;
  Label& Label3;
};

// None of the handlers looks at the state of the run before acting: each does
// its steps whatever the run is doing, so "continue" after "end" runs the pump
// again and "start" restarts a run that is going.
class RunTimer {
 public:
  RunTimer(Timer& timer1, RunClockLabels clock, link::CommandSender& sender, Dialogs& dialogs)
      : Timer1(timer1), clock_(clock), sender_(sender), dialogs_(dialogs) {}

  void stset_Click();
  void ststart_Click();
  void stzanting_Click();
  void stcontiune_Click();
  void stend_Click();
  void Timer1_Timer();

  // The line is gone: nothing can reach the pump, so the clock stops rather
  // than fail to send every second. True when a run was being timed.
  bool haltForLostLine();

  std::int32_t tset() const { return tset_; }
  double timeset() const { return timeset_; }

 private:
  bool send(std::string_view frame);
  void showClock(bool visible);

  Timer& Timer1;
  RunClockLabels clock_;
  link::CommandSender& sender_;
  Dialogs& dialogs_;
  // Elapsed whole seconds of the current run. 32-bit, so runs longer than
  // nine hours keep counting instead of overflowing.
  std::int32_t tset_ = 0;
  double timeset_ = 0;  // run length in minutes
  // True while a frame of ours is being written. A failed write shows a modal
  // box whose event loop keeps ticking the clock; such a tick must not send
  // and open a second box on top of the first.
  bool sending_ = false;
};

}  // namespace pump::timedrun
