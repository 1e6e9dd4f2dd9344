#include "timedrun/run_timer.h"

#include <string>

#include "link/pump_frame.h"
#include "platform/number_text.h"

namespace pump::timedrun {

void RunTimer::stset_Click() {
  const std::string answer = dialogs_.InputBox("请输入设定时间 单位 分 ", "时间设定", 0);
  // Cancel gives the empty text; it and anything that is not a number leave
  // the length in force without a word.
  if (const auto minutes = ToDouble(answer)) timeset_ = *minutes;
}

// A run frame that could not go out started nothing, so nothing is timed.
void RunTimer::ststart_Click() {
  tset_ = 0;
  Timer1.setEnabled(true);
  if (!send(link::kRunFrame)) {
    Timer1.setEnabled(false);
    return;
  }
  showClock(true);
}

void RunTimer::stzanting_Click() {
  Timer1.setEnabled(false);
  send(link::kStopFrame);
}

void RunTimer::stcontiune_Click() {
  Timer1.setEnabled(true);
  if (!send(link::kRunFrame)) Timer1.setEnabled(false);
}

void RunTimer::stend_Click() {
  timeset_ = 0;
  Timer1.setEnabled(false);
  if (!send(link::kStopFrame)) return;
  showClock(false);
}

void RunTimer::Timer1_Timer() {
  ++tset_;
  clock_.lhour.setCaption(std::to_string(tset_ / 3600));
  clock_.lmin.setCaption(std::to_string(tset_ % 3600 / 60));
  clock_.lsed.setCaption(std::to_string(tset_ % 60));

  // A length of zero or less stops at the first tick; a fractional one at the
  // first whole second not below it. The length may have changed mid-run.
  if (timeset_ * 60.0 > static_cast<double>(tset_)) return;
  if (sending_) return;                 // the stop goes out on the first tick after the box closes
  if (!send(link::kStopFrame)) return;  // not stopped: the next tick tries again
  tset_ = 0;
  Timer1.setEnabled(false);
}

bool RunTimer::haltForLostLine() {
  const bool running = Timer1.enabled();
  Timer1.setEnabled(false);
  return running;
}

bool RunTimer::send(std::string_view frame) {
  sending_ = true;
  const bool sent = sender_.send(frame);
  sending_ = false;
  return sent;
}

void RunTimer::showClock(bool visible) {
  for (Label* label : {&clock_.lhour, &clock_.lmin, &clock_.lsed, &clock_.Label1, &clock_.Label2,
                       &clock_.Label3}) {
    label->setVisible(visible);
  }
}

}  // namespace pump::timedrun
