// Commands from a remote controller. They follow the operator's rules and go
// out through the same typed commands, but show no box: a refusal comes back
// as its text, and the remote station logs each command once, obeyed or not.
// Setpoints change no read-out, as with the setpoint dialogs (the pump's
// answer does); run and stop show on the run-state display, as with the RUN
// and STOP keys, so the operator sees what the remote did.
#include <cmath>

#include "console/main_window.h"
#include "console/setpoint_rules.h"

namespace pump::console {
namespace {

RemoteResult Refused(const char* text, const char* reason) { return {false, text, reason}; }

}  // namespace

RemoteResult MainWindow::remoteSend(const link::PumpCommand& command,
                                    const std::function<void()>& onSent) {
  switch (line_.send(command)) {
    case link::SendResult::Sent:
    case link::SendResult::Queued:
      if (onSent) onSent();
      commandWentOut(command);
      return {};
    case link::SendResult::NotOpen:
      if (command.kind() == link::PumpCommand::Kind::Stop && portEverOpened_) {
        keptStop_ = KeptStop{onSent, keptStop_ && keptStop_->endsRun};
        refreshStatusLine();
        return {};  // kept: it goes out first when the line is back
      }
      return Refused(texts::kPortNotOpen, "port not open");
    case link::SendResult::QueueFull:
      return Refused(texts::kCommandQueueFull, "pump not reading, command queue full");
    case link::SendResult::WriteFailed:
      return Refused(texts::kCommandNotSent, "command not sent");
  }
  return Refused(texts::kCommandNotSent, "command not sent");
}

RemoteResult MainWindow::remoteSetFlow(double mlPerMinute) {
  const auto command = !(mlPerMinute >= 0 && mlPerMinute <= kFlowLimit)
                           ? std::nullopt
                           : link::PumpCommand::SetFlow(link::kBroadcastAddress, mlPerMinute);
  if (!command) {
    return Refused(texts::kDialogFlowRefusal, "flow out of range");
  }
  return remoteSend(*command);
}

RemoteResult MainWindow::remoteSetPressureLimit(double megapascals) {
  const auto command =
      !(megapascals >= 0 && megapascals <= kPressureLimit)
          ? std::nullopt
          : link::PumpCommand::SetPressureLimit(link::kBroadcastAddress, megapascals);
  if (!command) {
    return Refused(texts::kDialogPressureRefusal, "pressure limit out of range");
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
    return Refused(texts::kRunLengthRefusal, "run length out of range");
  }
  if (!line_.connected()) return Refused(texts::kPortNotOpen, "port not open");
  runTimer_.setLength(minutes);
  runTimer_.start();
  return {};
}

void MainWindow::noteRemoteCommand(bool obeyed, std::string detail) {
  publish(obeyed ? EventKind::Command : EventKind::Refused, std::move(detail));
}

}  // namespace pump::console
