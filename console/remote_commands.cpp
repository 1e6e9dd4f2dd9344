// Commands from a remote controller. They follow the operator's rules and go
// out through the same typed commands, but show no box: a refusal comes back
// as its text. Setpoints change no read-out, as with the setpoint dialogs
// (the pump's answer does); run and stop show on the run-state display, as
// with the RUN and STOP keys, so the operator sees what the remote did.
#include <cmath>

#include "console/main_window.h"
#include "console/setpoint_rules.h"

namespace pump::console {
namespace {

RemoteResult Refused(const char* text) { return {false, text}; }

std::string Typed(double value) {
  std::string text = std::to_string(value);
  text.erase(text.find_last_not_of('0') + 1);
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

}  // namespace

RemoteResult MainWindow::remoteSend(const link::PumpCommand& command,
                                    const std::function<void()>& onSent) {
  switch (line_.send(command)) {
    case link::SendResult::Sent:
    case link::SendResult::Queued:
      if (onSent) onSent();
      publish(EventKind::Command, command.frame());
      return {};
    case link::SendResult::NotOpen:
      if (command.kind() == link::PumpCommand::Kind::Stop && portEverOpened_) {
        keptStop_ = KeptStop{onSent, keptStop_ && keptStop_->endsRun};
        refreshStatusLine();
        return {};  // kept: it goes out first when the line is back
      }
      return Refused(texts::kPortNotOpen);
    case link::SendResult::QueueFull:
      return Refused(texts::kCommandQueueFull);
    case link::SendResult::WriteFailed:
      return Refused(texts::kCommandNotSent);
  }
  return Refused(texts::kCommandNotSent);
}

RemoteResult MainWindow::remoteSetFlow(double mlPerMinute) {
  const auto command = !(mlPerMinute >= 0 && mlPerMinute <= kFlowLimit)
                           ? std::nullopt
                           : link::PumpCommand::SetFlow(link::kBroadcastAddress, mlPerMinute);
  if (!command) {
    publish(EventKind::Refused, Typed(mlPerMinute));
    return Refused(texts::kDialogFlowRefusal);
  }
  return remoteSend(*command);
}

RemoteResult MainWindow::remoteSetPressureLimit(double megapascals) {
  const auto command =
      !(megapascals >= 0 && megapascals <= kPressureLimit)
          ? std::nullopt
          : link::PumpCommand::SetPressureLimit(link::kBroadcastAddress, megapascals);
  if (!command) {
    publish(EventKind::Refused, Typed(megapascals));
    return Refused(texts::kDialogPressureRefusal);
  }
  return remoteSend(*command);
}

RemoteResult MainWindow::remoteRun() {
  return remoteSend(link::PumpCommand::Run(),
                    [this] { display.pumpState.setCaption(texts::kPumpRunning); });
}

RemoteResult MainWindow::remoteStop() {
  return remoteSend(link::PumpCommand::Stop(),
                    [this] { display.pumpState.setCaption(texts::kPumpStopped); });
}

// The run is started as the timed-run menu starts it, with the given length.
RemoteResult MainWindow::remoteTimedRun(double minutes) {
  if (!std::isfinite(minutes) || minutes <= 0) {
    publish(EventKind::Refused, Typed(minutes));
    return Refused(texts::kRunLengthRefusal);
  }
  if (!line_.connected()) return Refused(texts::kPortNotOpen);
  runTimer_.setLength(minutes);
  runTimer_.start();
  return {};
}

}  // namespace pump::console
