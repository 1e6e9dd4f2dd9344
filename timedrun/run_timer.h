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

  std::int32_t tset() const { return tset_; }
  double timeset() const { return timeset_; }

 private:
  Timer& Timer1;
  RunClockLabels clock_;
  link::CommandSender& sender_;
  Dialogs& dialogs_;
  // Elapsed whole seconds of the current run. 32-bit, so runs longer than
  // nine hours keep counting instead of overflowing.
  std::int32_t tset_ = 0;
  double timeset_ = 0;  // run length in minutes
};

}  // namespace pump::timedrun
