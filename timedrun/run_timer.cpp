#include "timedrun/run_timer.h"

#include <string>

#include "platform/number_text.h"
#include "texts/operator_texts.h"

namespace pump::timedrun {

void RunTimer::askLength() {
  const std::string answer = dialogs_.askText(texts::kRunLengthPrompt, texts::kRunLengthTitle, 0);
  // Cancel gives the empty text; it and anything that is not a number leave
  // the length in force without a word.
  if (const auto minutes = ToDouble(answer)) lengthMinutes_ = *minutes;
}

// A run command that could not go out started nothing, so nothing is timed.
void RunTimer::start() {
  elapsedSeconds_ = 0;
  stopAnnounced_ = false;
  clockTimer_.setEnabled(true);
  if (!send(link::PumpCommand::Run())) {
    clockTimer_.setEnabled(false);
    return;
  }
  showClock(true);
  step("start");
}

void RunTimer::pause() {
  clockTimer_.setEnabled(false);
  if (send(link::PumpCommand::Stop())) step("pause");
}

void RunTimer::resume() {
  stopAnnounced_ = false;
  clockTimer_.setEnabled(true);
  if (!send(link::PumpCommand::Run())) {
    clockTimer_.setEnabled(false);
    return;
  }
  step("continue");
}

void RunTimer::end() {
  lengthMinutes_ = 0;
  clockTimer_.setEnabled(false);
  if (!send(link::PumpCommand::Stop())) return;
  showClock(false);
  step("end");
}

void RunTimer::tick() {
  ++elapsedSeconds_;
  clock_.hours.setCaption(std::to_string(elapsedSeconds_ / 3600));
  clock_.minutes.setCaption(std::to_string(elapsedSeconds_ % 3600 / 60));
  clock_.seconds.setCaption(std::to_string(elapsedSeconds_ % 60));

  // A length of zero or less stops at the first tick; a fractional one at the
  // first whole second not below it. The length may have changed mid-run.
  if (lengthMinutes_ * 60.0 > static_cast<double>(elapsedSeconds_)) return;
  if (sending_) return;  // the stop goes out on the first tick after the box closes
  if (!stopAnnounced_) step("stop_due");
  stopAnnounced_ = true;
  if (!send(link::PumpCommand::Stop())) return;  // not stopped: the next tick tries again
  elapsedSeconds_ = 0;
  clockTimer_.setEnabled(false);
  step("stop_sent");
}

bool RunTimer::haltForLostLine() {
  const bool running = clockTimer_.enabled();
  clockTimer_.setEnabled(false);
  return running;
}

bool RunTimer::send(const link::PumpCommand& command) {
  sending_ = true;
  const bool sent = sender_.send(command);
  sending_ = false;
  return sent;
}

void RunTimer::showClock(bool visible) {
  for (Label* label : {&clock_.hours, &clock_.minutes, &clock_.seconds, &clock_.hourUnit,
                       &clock_.minuteUnit, &clock_.secondUnit}) {
    label->setVisible(visible);
  }
}

}  // namespace pump::timedrun
